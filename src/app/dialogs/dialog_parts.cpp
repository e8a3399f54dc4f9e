#include "app/dialogs/dialog_parts.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <new>

#include "app/image_chooser.h"
#include "image/image_loader.h"
#include "qtplatform/qt_platform.h"

namespace zorva {

ColourBox::ColourBox(std::function<std::uint32_t()> colour, QWidget* parent)
    : QPushButton(parent), colour_(std::move(colour)) {
    setFixedSize(44, 20);
    setAutoDefault(false);
    setFocusPolicy(Qt::StrongFocus);
}

void ColourBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect area = rect().adjusted(0, 0, -1, -1);
    painter.fillRect(area, isEnabled() ? to_qcolor(colour_()) : palette().color(QPalette::Window));
    painter.setPen(palette().color(isEnabled() ? QPalette::WindowText : QPalette::Mid));
    painter.drawRect(area);
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        painter.drawRect(area.adjusted(2, 2, -2, -2));
    }
}

ImagePreview::ImagePreview(const Image& image, QWidget* parent) : QWidget(parent), image_(image) {
    setMinimumSize(160, 120);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setCursor(Qt::CrossCursor);
}

PreviewRect ImagePreview::drawn_rect() const {
    if (image_.empty()) return {};
    return fit_preview(image_.width, image_.height, width(), height());
}

void ImagePreview::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(48, 48, 48));
    const PreviewRect drawn = drawn_rect();
    if (drawn.width <= 0) return;
    const QImage picture(image_.pixels(), image_.width, image_.height, image_.stride,
                         QImage::Format_ARGB32_Premultiplied);
    painter.drawImage(QRect(drawn.x, drawn.y, drawn.width, drawn.height), picture);
    painter.setPen(QColor(160, 160, 160));
    painter.drawRect(QRect(drawn.x - 1, drawn.y - 1, drawn.width + 1, drawn.height + 1));
}

void ImagePreview::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !picked_) return;
    const QPoint at = event->position().toPoint();
    if (const std::optional<std::uint32_t> colour =
            colour_at_preview_point(image_, drawn_rect(), at.x(), at.y()))
        picked_(*colour);
}

QLineEdit* make_number_edit(QWidget* parent, const char* object_name, long long value, bool negative) {
    auto* edit = new QLineEdit(QString::number(value), parent);
    edit->setObjectName(QString::fromLatin1(object_name));
    edit->setValidator(new QRegularExpressionValidator(
        QRegularExpression(negative ? "-?[0-9]{0,11}" : "[0-9]{0,11}"), edit));
    edit->setMaximumWidth(90);
    return edit;
}

long long number_value(const QLineEdit* edit, long long min, long long max, long long fallback) {
    return parse_clamped(edit->text().toStdString(), min, max, fallback);
}

QLineEdit* make_text_edit(QWidget* parent, const char* object_name, std::string_view text, int max_length) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(object_name));
    edit->setMaxLength(max_length);
    edit->setText(to_qstring(text));
    return edit;
}

std::string field_text(const QLineEdit* edit) { return from_qstring(edit->text()); }

void add_form_row(QWidget* owner, QGridLayout* grid, int& row, const char* caption, QWidget* field) {
    auto* label = new QLabel(caption, owner);
    label->setBuddy(field);
    grid->addWidget(label, row, 0);
    grid->addWidget(field, row, 1);
    ++row;
}

QLabel* fact_label(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

ImagePathField::ImagePathField(const char* name, std::string_view path, Image& image,
                               Preferences& preferences, Platform& platform, PathText* folder,
                               QWidget* parent)
    : QWidget(parent),
      edit_(make_text_edit(this, name, path, static_cast<int>(kPathLength))),
      browse_(new QPushButton("...", this)),
      image_(image),
      preferences_(preferences),
      platform_(platform),
      folder_(folder),
      previous_(path) {
    browse_->setObjectName(QString::fromLatin1(name) + "_browse");
    browse_->setToolTip("Load Image");
    browse_->setAutoDefault(false);
    browse_->setMaximumWidth(32);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(edit_, 1);
    row->addWidget(browse_);
    connect(edit_, &QLineEdit::editingFinished, this, [this] { leave(); });
    connect(browse_, &QPushButton::clicked, this, [this] { browse(); });
}

bool ImagePathField::leave() {
    // The message of a failed load takes the focus, which must not leave the field a second time.
    if (leaving_) return true;
    leaving_ = true;
    const std::string typed = field_text(edit_);
    const auto [key_on, key] = key_ ? key_() : std::pair<bool, std::uint32_t>{false, 0};
    const ImageFieldResult result = leave_image_field(previous_, typed, image_, key_on, key, platform_);
    const bool failed = !result.loaded && !typed.empty() && typed != previous_;
    previous_ = result.text;
    if (typed != result.text) edit_->setText(to_qstring(result.text));
    leaving_ = false;
    if (result.loaded && loaded_) loaded_();
    return !failed;
}

void ImagePathField::browse() {
    const std::optional<std::string> chosen = choose_image_file(platform_, preferences_, folder_);
    if (!chosen) return;
    edit_->setText(to_qstring(*chosen));
    leave();
}

void load_preview_image(Image& image, std::string_view path) {
    image.release();
    if (path.empty()) return;
    try {
        if (load_image(image, path, ImageKind::Empty, nullptr, true, false, 0) != kImageLoaded)
            image.release();
    } catch (const std::bad_alloc&) {
        image.release();
    }
}

ImageColumn add_image_column(QWidget* dialog, QBoxLayout* layout, std::string_view path, Image& image,
                             Preferences& preferences, Platform& platform, PathText* folder, bool use_colour,
                             std::uint32_t& colour) {
    ImageColumn column;
    layout->addWidget(new QLabel("Image:", dialog));
    column.path = new ImagePathField("image_path", path, image, preferences, platform, folder, dialog);
    layout->addWidget(column.path);
    auto* colour_row = new QHBoxLayout;
    column.use_colour = new QCheckBox("Use transparent colour", dialog);
    column.use_colour->setObjectName("use_transparent_colour");
    column.use_colour->setChecked(use_colour);
    column.colour_box = new ColourBox([&colour] { return colour; }, dialog);
    column.colour_box->setObjectName("transparent_colour");
    colour_row->addWidget(column.use_colour);
    colour_row->addWidget(column.colour_box);
    colour_row->addStretch(1);
    layout->addLayout(colour_row);
    auto* hint =
        new QLabel("Click on colour rectangle, or on image preview to select a transparent colour.", dialog);
    hint->setWordWrap(true);
    layout->addWidget(hint);
    column.preview = new ImagePreview(image, dialog);
    column.preview->setObjectName("preview");
    column.preview->setMinimumSize(320, 240);
    layout->addWidget(column.preview, 1);

    ColourBox* box = column.colour_box;
    auto set_colour = [dialog, box, &colour](std::uint32_t chosen) {
        colour = chosen & 0x00FFFFFFu;
        box->update();
        dialog->update();
    };
    column.preview->set_picked(set_colour);
    QObject::connect(box, &QPushButton::clicked, dialog, [&platform, &colour, set_colour] {
        if (const std::optional<std::uint32_t> chosen = platform.choose_colour(colour)) set_colour(*chosen);
    });
    return column;
}

void add_dialog_buttons(QWidget* dialog, QBoxLayout* layout, QPushButton** custom_variables, QPushButton** ok,
                        QPushButton** cancel) {
    auto* row = new QHBoxLayout;
    if (custom_variables) {
        *custom_variables = new QPushButton("Custom Variables", dialog);
        (*custom_variables)->setObjectName("custom_variables");
        (*custom_variables)->setAutoDefault(false);
        row->addWidget(*custom_variables);
    }
    row->addStretch(1);
    *ok = new QPushButton("OK", dialog);
    (*ok)->setObjectName("ok");
    (*ok)->setDefault(true);
    *cancel = new QPushButton("Cancel", dialog);
    (*cancel)->setObjectName("cancel");
    (*cancel)->setAutoDefault(false);
    row->addWidget(*ok);
    row->addWidget(*cancel);
    layout->addLayout(row);
}

}  // namespace zorva

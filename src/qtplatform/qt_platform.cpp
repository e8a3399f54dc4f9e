#include "qtplatform/qt_platform.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <QStyle>
#include <QVBoxLayout>

#include "base/colour.h"

namespace zorva {

QString to_qstring(std::string_view text) {
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

std::string from_qstring(const QString& text) { return text.toLocal8Bit().toStdString(); }

QString file_filter_text(const std::vector<FileFilter>& filters) {
    QStringList parts;
    for (const FileFilter& filter : filters) {
        QStringList patterns;
        for (const std::string& pattern : filter.patterns) patterns << to_qstring(pattern);
        QString name = to_qstring(filter.name);
        if (!name.contains('(')) name += " (" + patterns.join(' ') + ")";
        parts << name;
    }
    return parts.join(";;");
}

QMessageBox::Icon to_qt_icon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::None:
            return QMessageBox::NoIcon;
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Warning:
            return QMessageBox::Warning;
        case MessageIcon::Stop:
            return QMessageBox::Critical;
        case MessageIcon::Question:
            return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QColor to_qcolor(std::uint32_t bgr) {
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

std::uint32_t from_qcolor(const QColor& colour) {
    return rgb(static_cast<std::uint32_t>(colour.red()), static_cast<std::uint32_t>(colour.green()),
               static_cast<std::uint32_t>(colour.blue()));
}

namespace {

QMessageBox::StandardButton to_standard_button(Answer answer) {
    switch (answer) {
        case Answer::Ok:
            return QMessageBox::Ok;
        case Answer::Cancel:
            return QMessageBox::Cancel;
        case Answer::Yes:
            return QMessageBox::Yes;
        case Answer::No:
            return QMessageBox::No;
    }
    return QMessageBox::Ok;
}

bool offers(MessageButtons buttons, Answer answer) {
    switch (buttons) {
        case MessageButtons::Ok:
            return answer == Answer::Ok;
        case MessageButtons::OkCancel:
            return answer == Answer::Ok || answer == Answer::Cancel;
        case MessageButtons::YesNo:
            return answer == Answer::Yes || answer == Answer::No;
        case MessageButtons::YesNoCancel:
            return answer != Answer::Ok;
    }
    return false;
}

Answer first_answer(MessageButtons buttons) {
    return buttons == MessageButtons::Ok || buttons == MessageButtons::OkCancel ? Answer::Ok : Answer::Yes;
}

// What closing the window (Escape, the title bar) answers.
Answer escape_answer(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::Ok:
            return Answer::Ok;
        case MessageButtons::OkCancel:
        case MessageButtons::YesNoCancel:
            return Answer::Cancel;
        case MessageButtons::YesNo:
            return Answer::No;
    }
    return Answer::Cancel;
}

}  // namespace

std::unique_ptr<QMessageBox> make_message_box(QWidget* parent, std::string_view text,
                                              std::string_view caption, MessageButtons buttons,
                                              MessageIcon icon, Answer default_answer) {
    auto box = std::make_unique<QMessageBox>(parent);
    box->setWindowTitle(to_qstring(caption));
    box->setText(to_qstring(text));
    box->setTextFormat(Qt::PlainText);
    box->setIcon(to_qt_icon(icon));
    switch (buttons) {
        case MessageButtons::Ok:
            box->setStandardButtons(QMessageBox::Ok);
            break;
        case MessageButtons::OkCancel:
            box->setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case MessageButtons::YesNo:
            box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        case MessageButtons::YesNoCancel:
            box->setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
    }
    if (!offers(buttons, default_answer)) default_answer = first_answer(buttons);
    box->setDefaultButton(to_standard_button(default_answer));
    box->setEscapeButton(to_standard_button(escape_answer(buttons)));
    return box;
}

Answer message_box_answer(const QMessageBox& box, MessageButtons buttons) {
    switch (box.standardButton(box.clickedButton())) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        case QMessageBox::Cancel:
            return Answer::Cancel;
        case QMessageBox::Ok:
            return Answer::Ok;
        default:
            break;
    }
    return escape_answer(buttons);
}

DontAskAgainDialog::DontAskAgainDialog(QWidget* parent, std::string_view text, std::string_view caption,
                                       MessageButtons buttons, MessageIcon icon,
                                       std::string_view check_box_text)
    : QDialog(parent), buttons_(buttons), answer_(escape_answer(buttons)) {
    setWindowTitle(to_qstring(caption));
    auto* layout = new QVBoxLayout(this);

    auto* message_row = new QHBoxLayout;
    const QMessageBox::Icon qt_icon = to_qt_icon(icon);
    if (qt_icon != QMessageBox::NoIcon) {
        auto* icon_label = new QLabel(this);
        icon_label->setObjectName("icon");
        QStyle::StandardPixmap pixmap = QStyle::SP_MessageBoxQuestion;
        if (qt_icon == QMessageBox::Information) pixmap = QStyle::SP_MessageBoxInformation;
        if (qt_icon == QMessageBox::Warning) pixmap = QStyle::SP_MessageBoxWarning;
        if (qt_icon == QMessageBox::Critical) pixmap = QStyle::SP_MessageBoxCritical;
        const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
        icon_label->setPixmap(style()->standardIcon(pixmap, nullptr, this).pixmap(size, size));
        icon_label->setAlignment(Qt::AlignTop);
        message_row->addWidget(icon_label);
    }
    auto* label = new QLabel(to_qstring(text), this);
    label->setObjectName("text");
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    message_row->addWidget(label, 1);
    layout->addLayout(message_row);

    check_box_ = new QCheckBox(to_qstring(check_box_text), this);
    check_box_->setObjectName("dont_ask_again");
    layout->addWidget(check_box_);

    button_row_ = new QWidget(this);
    auto* row = new QHBoxLayout(button_row_);
    row->setContentsMargins(0, 0, 0, 0);
    row->addStretch(1);
    layout->addWidget(button_row_);
    switch (buttons) {
        case MessageButtons::Ok:
            add_button(Answer::Ok, "OK", "ok");
            break;
        case MessageButtons::OkCancel:
            add_button(Answer::Ok, "OK", "ok");
            add_button(Answer::Cancel, "Cancel", "cancel");
            break;
        case MessageButtons::YesNo:
            add_button(Answer::Yes, "&Yes", "yes");
            add_button(Answer::No, "&No", "no");
            break;
        case MessageButtons::YesNoCancel:
            add_button(Answer::Yes, "&Yes", "yes");
            add_button(Answer::No, "&No", "no");
            add_button(Answer::Cancel, "Cancel", "cancel");
            break;
    }
    if (QPushButton* first = button(first_answer(buttons))) {
        first->setDefault(true);
        first->setFocus();
    }
    setSizeGripEnabled(false);
}

void DontAskAgainDialog::add_button(Answer which, const char* text, const char* object_name) {
    auto* push = new QPushButton(QString::fromLatin1(text), button_row_);
    push->setObjectName(QString::fromLatin1(object_name));
    button_row_->layout()->addWidget(push);
    buttons_made_.emplace_back(which, push);
    QObject::connect(push, &QPushButton::clicked, this, [this, which] {
        answer_ = which;
        if (which == Answer::Cancel || which == Answer::No)
            done(QDialog::Rejected);
        else
            done(QDialog::Accepted);
    });
}

bool DontAskAgainDialog::checked() const { return check_box_->isChecked(); }

QPushButton* DontAskAgainDialog::button(Answer which) const {
    for (const auto& [answer, push] : buttons_made_)
        if (answer == which) return push;
    return nullptr;
}

QtPlatform::~QtPlatform() {
    while (busy_depth_ > 0) set_busy(false);
}

Answer QtPlatform::message_box(std::string_view text, std::string_view caption, MessageButtons buttons,
                               MessageIcon icon, Answer default_answer) {
    std::unique_ptr<QMessageBox> box =
        make_message_box(parent_, text, caption, buttons, icon, default_answer);
    box->exec();
    return message_box_answer(*box, buttons);
}

Answer QtPlatform::ask_with_dont_ask_again(std::string_view text, std::string_view caption,
                                           MessageButtons buttons, bool& dont_ask_again) {
    return message_with_check_box(text, caption, "Do not ask me this again", buttons, MessageIcon::Question,
                                  dont_ask_again);
}

Answer QtPlatform::message_with_check_box(std::string_view text, std::string_view caption,
                                          std::string_view check_box_text, MessageButtons buttons,
                                          MessageIcon icon, bool& checked) {
    DontAskAgainDialog dialog(parent_, text, caption, buttons, icon, check_box_text);
    dialog.exec();
    checked = dialog.checked();
    return dialog.answer();
}

std::optional<std::string> QtPlatform::choose_open_file(std::string_view title,
                                                        const std::vector<FileFilter>& filters,
                                                        std::string_view start_folder) {
    const QString file = QFileDialog::getOpenFileName(parent_, to_qstring(title), to_qstring(start_folder),
                                                      file_filter_text(filters));
    if (file.isEmpty()) return std::nullopt;
    return from_qstring(file);
}

std::optional<SaveChoice> QtPlatform::choose_save_file(std::string_view title,
                                                       const std::vector<FileFilter>& filters,
                                                       std::string_view start_folder,
                                                       std::string_view proposed_name) {
    QString start = to_qstring(start_folder);
    if (!proposed_name.empty()) {
        if (!start.isEmpty() && !start.endsWith('/') && !start.endsWith('\\')) start += '/';
        start += to_qstring(proposed_name);
    }
    const QString filter_text = file_filter_text(filters);
    // No default suffix: the caller adds the extension of the filter the user picked.
    QFileDialog dialog(parent_, to_qstring(title), start, filter_text);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QString file = dialog.selectedFiles().value(0);
    if (file.isEmpty()) return std::nullopt;
    SaveChoice choice{from_qstring(file), 0};
    const qsizetype picked = filter_text.split(QStringLiteral(";;")).indexOf(dialog.selectedNameFilter());
    if (picked > 0 && static_cast<std::size_t>(picked) < filters.size())
        choice.filter = static_cast<std::size_t>(picked);
    return choice;
}

std::optional<std::string> QtPlatform::choose_folder(std::string_view title, std::string_view start_folder) {
    const QString folder =
        QFileDialog::getExistingDirectory(parent_, to_qstring(title), to_qstring(start_folder));
    if (folder.isEmpty()) return std::nullopt;
    return from_qstring(folder);
}

std::optional<std::uint32_t> QtPlatform::choose_colour(std::uint32_t initial) {
    const QColor chosen = QColorDialog::getColor(to_qcolor(initial), parent_);
    if (!chosen.isValid()) return std::nullopt;
    return from_qcolor(chosen);
}

std::optional<std::string> QtPlatform::prompt_value(std::string_view title, std::string_view label,
                                                    std::string_view initial) {
    bool ok = false;
    const QString value = QInputDialog::getText(parent_, to_qstring(title), to_qstring(label),
                                                QLineEdit::Normal, to_qstring(initial), &ok);
    if (!ok) return std::nullopt;
    return from_qstring(value);
}

void QtPlatform::set_busy(bool busy) {
    if (busy) {
        if (busy_depth_++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (busy_depth_ > 0) {
        if (--busy_depth_ == 0) QApplication::restoreOverrideCursor();
    }
}

}  // namespace zorva

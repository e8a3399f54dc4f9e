// Pieces the properties dialogs share: the colour box, the image preview that picks a colour, whole-number
// fields, the image path field with its "Load Image" button, and the OK / Cancel row.
#pragma once

#include <QLineEdit>
#include <QPushButton>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>

#include "app/properties_rules.h"
#include "base/platform.h"
#include "image/image.h"
#include "model/fixed_text.h"

class QBoxLayout;
class QCheckBox;
class QGridLayout;
class QLabel;

namespace zorva {

class Preferences;

// A push button painted in one colour (0x00BBGGRR, read at each paint); the owner connects clicked.
class ColourBox : public QPushButton {
public:
    ColourBox(std::function<std::uint32_t()> colour, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::function<std::uint32_t()> colour_;
};

// A picture drawn whole into the widget (at its size when it fits, else scaled down), on a dark ground. A
// left click inside the drawn picture hands the colour under it to `picked`.
class ImagePreview : public QWidget {
public:
    ImagePreview(const Image& image, QWidget* parent);
    void set_picked(std::function<void(std::uint32_t)> picked) { picked_ = std::move(picked); }
    PreviewRect drawn_rect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    const Image& image_;
    std::function<void(std::uint32_t)> picked_;
};

// The ranges whole-number fields are clamped into (number_value).
inline constexpr long long kIntMin = std::numeric_limits<std::int32_t>::min();
inline constexpr long long kIntMax = std::numeric_limits<std::int32_t>::max();
inline constexpr long long kUnsignedMax = std::numeric_limits<std::uint32_t>::max();

// A field for a whole number; `negative` allows a minus sign. The text is read with number_value().
QLineEdit* make_number_edit(QWidget* parent, const char* object_name, long long value, bool negative);
// The field's number clamped into [min, max]; a field that holds no number gives `fallback`.
long long number_value(const QLineEdit* edit, long long min, long long max, long long fallback);
// A text field cut to `max_length` characters.
QLineEdit* make_text_edit(QWidget* parent, const char* object_name, std::string_view text, int max_length);
std::string field_text(const QLineEdit* edit);

// A caption and its field as the next row of a two-column grid (`row` counts the rows).
void add_form_row(QWidget* owner, QGridLayout* grid, int& row, const char* caption, QWidget* field);
// An empty label (object name `name`) for one of a dialog's facts about its image.
QLabel* fact_label(QWidget* parent, const char* name);

// An image path field (object name `name`) with its "..." button (`name` + "_browse"). Leaving the field or
// choosing a file loads the named picture into `image` (leave_image_field); a failure puts the previous
// path back. `folder` is the project's remembered folder for this kind of object, updated by a choice.
class ImagePathField : public QWidget {
public:
    ImagePathField(const char* name, std::string_view path, Image& image, Preferences& preferences,
                   Platform& platform, PathText* folder, QWidget* parent);

    QLineEdit* edit() const { return edit_; }
    QPushButton* browse_button() const { return browse_; }
    std::string path() const { return previous_; }
    // The colour key new pictures are loaded with.
    void set_key(std::function<std::pair<bool, std::uint32_t>()> key) { key_ = std::move(key); }
    // Runs after a picture was loaded.
    void set_loaded(std::function<void()> loaded) { loaded_ = std::move(loaded); }
    // What leaving the field does; also run before the dialog's OK reads it. False when a picture failed to
    // load (the message was shown and the previous path put back): the dialog then stays open.
    bool leave();
    void browse();

private:
    QLineEdit* edit_;
    QPushButton* browse_;
    Image& image_;
    Preferences& preferences_;
    Platform& platform_;
    PathText* folder_;
    std::string previous_;
    std::function<std::pair<bool, std::uint32_t>()> key_;
    std::function<void()> loaded_;
    bool leaving_ = false;
};

// Loads `path` quietly into `image` without a colour key (the picture a dialog opens with); an empty path or
// a failure leaves `image` empty.
void load_preview_image(Image& image, std::string_view path);

// The image column of the tile set and entity dialogs, added to `layout`: "Image:", the path field
// ("image_path"), "Use transparent colour" ("use_transparent_colour") with its colour box
// ("transparent_colour"), the hint and the preview ("preview"). Choosing a colour with the box or clicking
// the preview stores it (without alpha) into `colour` and repaints.
struct ImageColumn {
    ImagePathField* path = nullptr;
    QCheckBox* use_colour = nullptr;
    ColourBox* colour_box = nullptr;
    ImagePreview* preview = nullptr;
};
ImageColumn add_image_column(QWidget* dialog, QBoxLayout* layout, std::string_view path, Image& image,
                             Preferences& preferences, Platform& platform, PathText* folder, bool use_colour,
                             std::uint32_t& colour);

// The row of "Custom Variables" (when `custom_variables` is not null), "OK" and "Cancel" at the bottom of
// a properties dialog. Object names "custom_variables", "ok", "cancel"; OK is the default button.
void add_dialog_buttons(QWidget* dialog, QBoxLayout* layout, QPushButton** custom_variables, QPushButton** ok,
                        QPushButton** cancel);

}  // namespace zorva

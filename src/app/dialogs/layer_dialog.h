// The layer dialog ("Layer Properties", or "New Layer" for a new one): name, user id, the main layer mark,
// the grid size (0 or less becomes 1; a warning above 4,000,000 cells), offsets, scroll speeds, wrap,
// opacity, the background colour and image, the numbers of entities and paths, and the custom variables.
// It edits a copy; OK hands the copy back (the command then resizes the layer).
//
// Children by object name: "name", "user_id", "is_main_layer", "grid_width", "grid_height", "offset_x",
// "offset_y", "scroll_speed_x", "scroll_speed_y", "wrap_x", "wrap_y", "opacity" (a slider), "opacity_value",
// "use_background_colour", "background_colour" (the colour box), "use_background_image",
// "background_image" (with "background_image_browse"), "entity_count", "path_count", "custom_variables",
// "ok", "cancel".
#pragma once

#include <QDialog>

#include "base/platform.h"
#include "image/image.h"
#include "model/layer.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QSlider;

namespace zorva {

class ColourBox;
class ImagePathField;
class Preferences;
class Project;

class LayerDialog : public QDialog {
public:
    LayerDialog(LayerProperties& edited, bool is_new, Project& project, Preferences& preferences,
                Platform& platform, QWidget* parent = nullptr);
    ~LayerDialog() override;
    LayerDialog(const LayerDialog&) = delete;
    LayerDialog& operator=(const LayerDialog&) = delete;

    void accept() override;

private:
    void store();
    // Width and height shown as they will be taken; the size warning when the size grew past the limit.
    void size_left();

    LayerProperties& edited_;
    LayerProperties working_;
    Project& project_;
    Preferences& preferences_;
    Platform& platform_;
    PathText folder_;
    Image background_;
    long long warned_cells_ = 0;
    QLineEdit* name_ = nullptr;
    QLineEdit* user_id_ = nullptr;
    QCheckBox* main_layer_ = nullptr;
    QLineEdit* width_ = nullptr;
    QLineEdit* height_ = nullptr;
    QLineEdit* offset_x_ = nullptr;
    QLineEdit* offset_y_ = nullptr;
    QLineEdit* speed_x_ = nullptr;
    QLineEdit* speed_y_ = nullptr;
    QCheckBox* wrap_x_ = nullptr;
    QCheckBox* wrap_y_ = nullptr;
    QSlider* opacity_ = nullptr;
    QLabel* opacity_value_ = nullptr;
    QCheckBox* use_colour_ = nullptr;
    ColourBox* colour_box_ = nullptr;
    QCheckBox* use_image_ = nullptr;
    ImagePathField* image_path_ = nullptr;
};

}  // namespace zorva

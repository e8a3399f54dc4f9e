// The parent entity dialog ("Entity Properties", or "New Entity" for a new one): name, user id, the image
// with its preview, facts and frame counts, the transparent colour, the frame geometry and the preview
// frame, the trigger and its default sizes, and the custom variables. OK asks when a frame is larger than
// the loaded image (Cancel keeps the dialog open). It edits a copy; OK hands the copy back.
//
// Children by object name: "name", "user_id", "image_path" (with "image_path_browse"),
// "use_transparent_colour", "transparent_colour", "preview", "image_size", "colour_depth", "frame_count",
// "frames_across", "frames_down", "frame_width", "frame_height", "offset_x", "offset_y", "space_x",
// "space_y", "preview_frame", "is_trigger", "circle", "rectangle", "trigger_radius", "trigger_width",
// "trigger_height", "custom_variables", "ok", "cancel".
#pragma once

#include <QDialog>

#include "base/platform.h"
#include "image/image.h"
#include "model/entity.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace zorva {

class ImagePathField;
class ImagePreview;
class Preferences;
class Project;

class EntityDialog : public QDialog {
public:
    EntityDialog(ParentEntityProperties& edited, bool is_new, Project& project, Preferences& preferences,
                 Platform& platform, QWidget* parent = nullptr);
    ~EntityDialog() override;
    EntityDialog(const EntityDialog&) = delete;
    EntityDialog& operator=(const EntityDialog&) = delete;

    const Image& preview_image() const { return image_; }

    void accept() override;

private:
    void build(bool is_new);
    void store();
    void update_counts();

    ParentEntityProperties& edited_;
    ParentEntityProperties working_;
    Project& project_;
    Preferences& preferences_;
    Platform& platform_;
    PathText folder_;
    Image image_;
    QLineEdit* name_ = nullptr;
    QLineEdit* user_id_ = nullptr;
    ImagePathField* image_path_ = nullptr;
    QCheckBox* use_colour_ = nullptr;
    ImagePreview* preview_ = nullptr;
    QLabel* facts_[5] = {};
    QLineEdit* frame_width_ = nullptr;
    QLineEdit* frame_height_ = nullptr;
    QLineEdit* offset_x_ = nullptr;
    QLineEdit* offset_y_ = nullptr;
    QLineEdit* space_x_ = nullptr;
    QLineEdit* space_y_ = nullptr;
    QLineEdit* preview_frame_ = nullptr;
    QCheckBox* is_trigger_ = nullptr;
    QRadioButton* circle_ = nullptr;
    QRadioButton* rectangle_ = nullptr;
    QLineEdit* radius_ = nullptr;
    QLineEdit* trigger_width_ = nullptr;
    QLineEdit* trigger_height_ = nullptr;
};

}  // namespace zorva

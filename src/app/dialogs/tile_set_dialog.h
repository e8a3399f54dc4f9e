// The tile set dialog ("Tile Set Properties", or "New Tile Set" for a new one): name, user id, the tile
// geometry, the image with its preview and the tile counts, the transparent colour picked from the preview or
// the colour chooser, and the custom variables. It edits a copy; OK hands the copy back.
//
// Children by object name: "name", "user_id", "tile_width", "tile_height", "offset_x", "offset_y",
// "space_x", "space_y", "image_path" (with "image_path_browse"), "use_transparent_colour",
// "transparent_colour" (the colour box), "preview", "image_size", "colour_depth", "tile_count",
// "tiles_across", "tiles_down", "custom_variables", "ok", "cancel".
#pragma once

#include <QDialog>

#include "base/platform.h"
#include "image/image.h"
#include "model/tile_set.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace zorva {

class ImagePathField;
class ImagePreview;
class Preferences;
class Project;

class TileSetDialog : public QDialog {
public:
    TileSetDialog(TileSetProperties& edited, bool is_new, Project& project, Preferences& preferences,
                  Platform& platform, QWidget* parent = nullptr);
    ~TileSetDialog() override;
    TileSetDialog(const TileSetDialog&) = delete;
    TileSetDialog& operator=(const TileSetDialog&) = delete;

    const Image& preview_image() const { return image_; }
    ImagePreview* preview() const { return preview_; }

    void accept() override;

private:
    void build(bool is_new);
    // The fields into the copy (the image path as the field last loaded it).
    void store();
    void update_counts();

    TileSetProperties& edited_;
    TileSetProperties working_;
    Project& project_;
    Preferences& preferences_;
    Platform& platform_;
    PathText folder_;
    Image image_;
    QLineEdit* name_ = nullptr;
    QLineEdit* user_id_ = nullptr;
    QLineEdit* tile_width_ = nullptr;
    QLineEdit* tile_height_ = nullptr;
    QLineEdit* offset_x_ = nullptr;
    QLineEdit* offset_y_ = nullptr;
    QLineEdit* space_x_ = nullptr;
    QLineEdit* space_y_ = nullptr;
    ImagePathField* image_path_ = nullptr;
    QCheckBox* use_colour_ = nullptr;
    ImagePreview* preview_ = nullptr;
    QLabel* facts_[5] = {};
};

}  // namespace zorva

// The properties dialogs of the editor: PropertiesDialogs (see app/object_commands.h) with the Qt dialogs
// of this folder, each modal to `parent`.
#pragma once

#include <QWidget>
#include <functional>

#include "app/object_commands.h"
#include "base/platform.h"

namespace zorva {

class Preferences;
class Project;

class QtPropertiesDialogs : public PropertiesDialogs {
public:
    // `project` gives the open project at each call (it is replaced by New and Open).
    QtPropertiesDialogs(QWidget* parent, std::function<Project&()> project, Preferences& preferences,
                        Platform& platform);

    bool tile_set(TileSetProperties& edited, bool is_new) override;
    bool map(MapProperties& edited, bool is_new) override;
    bool layer(LayerProperties& edited, bool is_new) override;
    bool parent_entity(ParentEntityProperties& edited, bool is_new) override;

private:
    QWidget* parent_;
    std::function<Project&()> project_;
    Preferences& preferences_;
    Platform& platform_;
};

}  // namespace zorva

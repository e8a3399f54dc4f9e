#include "app/command_table.h"

#include <algorithm>
#include <array>

namespace zorva {

namespace {

constexpr std::string_view kFile = "&File";
constexpr std::string_view kImport = "&File/&Import";
constexpr std::string_view kEdit = "&Edit";
constexpr std::string_view kNew = "&New";
constexpr std::string_view kTransform = "&Transform";
constexpr std::string_view kPath = "&Path";
constexpr std::string_view kMode = "&Mode";
constexpr std::string_view kView = "&View";
constexpr std::string_view kZoom = "&View/&Zoom";
constexpr std::string_view kWindow = "&Window";
constexpr std::string_view kHelp = "&Help";

struct Row {
    int id;
    std::string_view text;
    std::string_view keys;
    std::string_view menu;
    bool separator_before = false;
    bool checkable = false;
};

constexpr bool kSep = true;
constexpr bool kCheck = true;

// clang-format off
constexpr std::array kRows = std::to_array<Row>({
    {cmd::kNew, "&New\tCtrl+N", "Ctrl+N", kFile},
    {cmd::kOpen, "&Open\tCtrl+O", "Ctrl+O", kFile},
    {cmd::kSave, "&Save\tCtrl+S", "Ctrl+S", kFile},
    {cmd::kSaveAs, "Save &As", "", kFile},
    {cmd::kExport, "&Export...", "", kFile, kSep},
    {cmd::kQuickExport, "&Quick Export\tCtrl+Q", "Ctrl+Q", kFile},
    {cmd::kImportBinaryMap, "Binary &MAP File", "", kImport},
    {cmd::kImportTmxMap, "&TMX Map", "", kImport},
    {cmd::kPreferences, "&Preferences", "", kFile, kSep},
    {cmd::kRecentProjects, "&Recent Projects", "", kFile, kSep},
    {cmd::kExit, "E&xit", "", kFile, kSep},

    {cmd::kUndoItem, "&Undo\tCtrl+Z", "", kEdit},
    {cmd::kRedoItem, "&Redo\tCtrl+R", "", kEdit},
    {cmd::kCut, "Cu&t\tCtrl+X", "Ctrl+X", kEdit, kSep},
    {cmd::kCopy, "&Copy\tCtrl+C", "Ctrl+C", kEdit},
    {cmd::kPaste, "&Paste\tCtrl+V", "Ctrl+V", kEdit},
    {cmd::kDelete, "&Delete\tDel", "Del", kEdit},
    {cmd::kFloat, "&Float (Cut+Paste)\tCtrl+B", "Ctrl+B", kEdit, kSep},
    {cmd::kPasteMosaic, "Paste &Mosaic\tCtrl+M", "Ctrl+M", kEdit},
    {cmd::kSelectAll, "Select &All\tCtrl+A", "Ctrl+A", kEdit, kSep},
    {cmd::kSelectNone, "Select &None\tCtrl+D", "Ctrl+D", kEdit},
    {cmd::kFillTiles, "Fill &Tiles\tCtrl+F", "Ctrl+F", kEdit, kSep},
    {cmd::kFillTileAttributes, "Fill T&ile Attributes\tCtrl+Shift+F", "Ctrl+Shift+F", kEdit},
    {cmd::kClearTileAttributes, "&Clear Tile Attributes", "", kEdit},
    {cmd::kEditCustomVariables, "Edit C&ustom Variables\tEnter", "Return; Num+Enter", kEdit, kSep},

    {cmd::kNewTileSet, "&Tile Set", "", kNew},
    {cmd::kNewMap, "&Map", "", kNew},
    {cmd::kNewLayer, "&Layer", "", kNew},
    {cmd::kNewEntity, "&Entity", "", kNew},
    {cmd::kNewMosaic, "Mosai&c\tCtrl+K", "Ctrl+K", kNew, kSep},

    {cmd::kFlipHorizontal, "Flip &Horizontal\tF5", "F5", kTransform},
    {cmd::kFlipVertical, "Flip &Vertical\tF6", "F6", kTransform},
    {cmd::kRotate, "&Rotate\tF7", "F7", kTransform},
    {cmd::kScale, "Sc&ale\tF8", "F8", kTransform},
    {cmd::kIndividualFlipHorizontal, "Individual - Flip H&orizontal\tF9", "F9", kTransform, kSep},
    {cmd::kIndividualFlipVertical, "Individual - Flip V&ertical\tF10", "F10", kTransform},
    {cmd::kIndividualRotate, "In&dividual - Rotate\tF11", "F11", kTransform},
    {cmd::kIndividualScale, "&Individual - Scale\tF12", "F12", kTransform},

    {cmd::kSplitSegments, "&Split Segment(s)", "", kPath},
    {cmd::kSelectPreviousPathPoint, "Select &Previous Path/Point\t,", ",", kPath, kSep},
    {cmd::kSelectNextPathPoint, "Select &Next Path/Point\t.", ".", kPath},
    {cmd::kReversePath, "&Reverse Path", "", kPath, kSep},
    {cmd::kMakeStartPoint, "Make S&tart Point", "", kPath},
    {cmd::kMakeEndPoint, "Make &End Point", "", kPath},
    {cmd::kGenerateControlPoints, "&Generate Control Points", "", kPath},

    {cmd::kEditTiles, "Edit &Tiles\tT", "T", kMode, false, kCheck},
    {cmd::kEditEntities, "Edit E&ntities\tY", "Y", kMode, false, kCheck},
    {cmd::kEditPaths, "Edit &Paths\tU", "U", kMode, false, kCheck},
    {cmd::kEditPathPoints, "Edit Path Po&ints\tI", "I", kMode, false, kCheck},
    {cmd::kToolPlacement, "Pl&acement\tA", "A", kMode, kSep, kCheck},
    {cmd::kToolEraser, "&Eraser\tE", "E", kMode, false, kCheck},
    {cmd::kToolSelect, "&Select\tS", "S", kMode, false, kCheck},
    // The menu shows D, the accelerator is M.
    {cmd::kToolMove, "&Move\tD", "M", kMode, false, kCheck},
    {cmd::kToolExtraPlacement, "E&xtra Placement\tQ", "Q", kMode, false, kCheck},

    {cmd::kViewGridItem, "&Grid\tCtrl+G", "", kView, false, kCheck},
    {cmd::kViewTileAttributes, "&Tile Attributes", "", kView, false, kCheck},
    {cmd::kViewEntities, "&Entities", "", kView, false, kCheck},
    {cmd::kViewPaths, "&Paths", "", kView, false, kCheck},
    {cmd::kViewOrigin, "View &Origin (0,0)", "", kView, false, kCheck},
    {cmd::kViewObjectsBeneathCursor, "Number of Objects &beneath cursor (slower)", "", kView, false, kCheck},
    {cmd::kViewPathPointNormals, "Path Point &Normals", "", kView, kSep, kCheck},
    {cmd::kViewPathPointVorelNormals, "Path Point &Vorel Normals", "", kView, false, kCheck},
    {cmd::kViewPathLineNormals, "Path &Line Normals", "", kView, false, kCheck},
    {cmd::kViewSortEntities, "So&rt When Drawing Entities (significantly slower)", "", kView, kSep, kCheck},
    {cmd::kViewEntitiesCustomVariables, "Entities Custom Variables (slower)", "", kView, false, kCheck},
    {cmd::kZoom800, "&800 %    \tCtrl+8", "Ctrl+8", kZoom, false, kCheck},
    {cmd::kZoom400, "&400 %\tCtrl+4", "Ctrl+4", kZoom, false, kCheck},
    {cmd::kZoom200, "&200 %\tCtrl+2", "Ctrl+2", kZoom, false, kCheck},
    {cmd::kZoom100, "&100 % (faster)\tCtrl+1", "Ctrl+1", kZoom, false, kCheck},
    {cmd::kZoom75, "&75 %\tCtrl+7", "Ctrl+7", kZoom, false, kCheck},
    {cmd::kZoom50, "5&0 %\tCtrl+5", "Ctrl+5", kZoom, false, kCheck},
    {cmd::kZoom25, "2&5 %\tCtrl+3", "Ctrl+3", kZoom, false, kCheck},
    {cmd::kSnapToGrid, "&Snap to Grid\tCtrl+Shift+G", "Ctrl+Shift+G", kView, kSep, kCheck},
    {cmd::kMoveViewToOrigin, "Move &view to Origin (0, 0)\tHome", "Home", kView, kSep},
    {cmd::kMoveViewToLayer, "Move vie&w to selected Layer\tCtrl+Home", "Ctrl+Home", kView},
    {cmd::kMoveViewToSelection, "Move v&iew to selected Object(s)\tShift+Home", "Shift+Home", kView},

    {cmd::kTileSetsDialog, "&Tile Sets Dialog", "", kWindow, false, kCheck},
    {cmd::kMapsDialog, "&Maps Dialog", "", kWindow, false, kCheck},
    {cmd::kLayersDialog, "&Layers Dialog", "", kWindow, false, kCheck},
    {cmd::kEntitiesDialog, "&Entities Dialog", "", kWindow, false, kCheck},
    {cmd::kTilesDialog, "T&iles Dialog", "", kWindow, false, kCheck},
    {cmd::kSelectedEntitiesDialog, "&Selected Entities/Points Dialog", "", kWindow, false, kCheck},
    {cmd::kMosaicsDialog, "M&osaics Dialog", "", kWindow, false, kCheck},
    {cmd::kShowAllDialogs, "Sho&w All Dialogs", "", kWindow, kSep},
    {cmd::kHideAllDialogs, "&Hide All Dialogs", "", kWindow},
    {cmd::kMinMaximizeTilesDialog, "&Min/Maximize Tiles Dialog\tCtrl+T", "Ctrl+T", kWindow, kSep},

    {cmd::kHelp, "&Help", "F1", kHelp},
    {cmd::kAbout, "&About", "", kHelp},

    // Keys without a menu item of their own.
    {cmd::kUndo, "", "Ctrl+Z", ""},
    {cmd::kRedo, "", "Ctrl+Y", ""},
    {cmd::kViewGrid, "", "Ctrl+G", ""},
    {cmd::kCancel, "", "Esc", ""},
    {cmd::kViewLeft, "", "Left", ""},
    {cmd::kViewRight, "", "Right", ""},
    {cmd::kViewUp, "", "Up", ""},
    {cmd::kViewDown, "", "Down", ""},
    {cmd::kPageLeft, "", "Shift+Left", ""},
    {cmd::kPageRight, "", "Shift+Right", ""},
    {cmd::kPageUp, "", "Shift+Up", ""},
    {cmd::kPageDown, "", "Shift+Down", ""},
    {cmd::kTilesScrollLeft, "", "Ctrl+Left", ""},
    {cmd::kTilesScrollRight, "", "Ctrl+Right", ""},
    {cmd::kTilesScrollUp, "", "Ctrl+Up", ""},
    {cmd::kTilesScrollDown, "", "Ctrl+Down", ""},
    {cmd::kZoomInKeypad, "", "Num++", ""},
    {cmd::kZoomOutKeypad, "", "Num+-", ""},
    {cmd::kZoomIn, "", "=", ""},
    {cmd::kZoomOut, "", "-", ""},
    {cmd::kPlacementFlipHorizontal, "", "F2", ""},
    {cmd::kPlacementFlipVertical, "", "F3", ""},
    {cmd::kPlacementRotate, "", "F4", ""},
    {cmd::kNudgeLeft, "", "Num+4", ""},
    {cmd::kNudgeRight, "", "Num+6", ""},
    {cmd::kNudgeUp, "", "Num+8", ""},
    {cmd::kNudgeDown, "", "Num+2", ""},
    {cmd::kDrop, "", "Num+0", ""},
});
// clang-format on

constexpr std::array<Command, kRows.size()> make_table() {
    std::array<Command, kRows.size()> table{};
    for (std::size_t i = 0; i < kRows.size(); ++i) {
        const Row& r = kRows[i];
        table[i] = Command{r.id, r.text, r.keys, r.menu, r.separator_before, r.checkable};
    }
    return table;
}

constexpr std::array<Command, kRows.size()> kTable = make_table();

}  // namespace

std::span<const Command> command_table() { return kTable; }

const Command* find_command(int id) {
    const auto it = std::find_if(kTable.begin(), kTable.end(), [id](const Command& c) { return c.id == id; });
    return it == kTable.end() ? nullptr : &*it;
}

std::vector<std::string_view> command_menus() {
    std::vector<std::string_view> menus;
    for (const Command& c : kTable) {
        if (c.menu.empty()) continue;
        // A submenu's parent comes first.
        const std::size_t slash = c.menu.find('/');
        if (slash != std::string_view::npos) {
            const std::string_view parent = c.menu.substr(0, slash);
            if (std::find(menus.begin(), menus.end(), parent) == menus.end()) menus.push_back(parent);
        }
        if (std::find(menus.begin(), menus.end(), c.menu) == menus.end()) menus.push_back(c.menu);
    }
    return menus;
}

std::string_view menu_caption(std::string_view text) {
    const std::size_t tab = text.find('\t');
    return tab == std::string_view::npos ? text : text.substr(0, tab);
}

std::string_view menu_shown_shortcut(std::string_view text) {
    const std::size_t tab = text.find('\t');
    return tab == std::string_view::npos ? std::string_view() : text.substr(tab + 1);
}

std::vector<std::string_view> split_keys(std::string_view keys) {
    std::vector<std::string_view> out;
    while (!keys.empty()) {
        const std::size_t sep = keys.find("; ");
        out.push_back(keys.substr(0, sep));
        if (sep == std::string_view::npos) break;
        keys.remove_prefix(sep + 2);
    }
    return out;
}

}  // namespace zorva

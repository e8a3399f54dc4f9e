// The editor's command set as data: every menu item and accelerator with its id, its menu text (the "&"
// marks the mnemonic, the text after the tab is the shortcut shown), the keys that really trigger it, the
// menu it sits in. Qt-free: the main window builds its menus
// and shortcuts from this table, and tests check it without a window.
#pragma once

#include <span>
#include <string_view>
#include <vector>

namespace zorva {

// Command ids (the ids of the menu resource and of the accelerator table).
namespace cmd {
inline constexpr int kNew = 57600;
inline constexpr int kOpen = 57601;
inline constexpr int kSave = 57603;
inline constexpr int kSaveAs = 32775;
inline constexpr int kExport = 32849;
inline constexpr int kQuickExport = 32850;
inline constexpr int kImportBinaryMap = 32911;
inline constexpr int kImportTmxMap = 32914;
inline constexpr int kPreferences = 32793;
inline constexpr int kRecentProjects = 32896;
inline constexpr int kExit = 32777;
inline constexpr int kUndoItem = 57643;
inline constexpr int kRedoItem = 57644;
inline constexpr int kUndo = 32853;
inline constexpr int kRedo = 32854;
inline constexpr int kCut = 57635;
inline constexpr int kCopy = 57634;
inline constexpr int kPaste = 57637;
inline constexpr int kDelete = 32815;
inline constexpr int kFloat = 32845;
inline constexpr int kPasteMosaic = 32848;
inline constexpr int kNewTileSet = 32791;
inline constexpr int kNewMap = 32789;
inline constexpr int kNewLayer = 32790;
inline constexpr int kNewEntity = 32792;
inline constexpr int kNewMosaic = 32847;
inline constexpr int kSelectAll = 32822;
inline constexpr int kSelectNone = 32821;
inline constexpr int kFillTiles = 32836;
inline constexpr int kFillTileAttributes = 32834;
inline constexpr int kClearTileAttributes = 32835;
inline constexpr int kFlipHorizontal = 32870;
inline constexpr int kFlipVertical = 32871;
inline constexpr int kRotate = 32872;
inline constexpr int kIndividualFlipHorizontal = 32873;
inline constexpr int kIndividualFlipVertical = 32874;
inline constexpr int kIndividualRotate = 32875;
inline constexpr int kEditCustomVariables = 32861;
inline constexpr int kSplitSegments = 32852;
inline constexpr int kSelectPreviousPathPoint = 32856;
inline constexpr int kSelectNextPathPoint = 32855;
inline constexpr int kReversePath = 32863;
inline constexpr int kMakeStartPoint = 32864;
inline constexpr int kMakeEndPoint = 32865;
inline constexpr int kGenerateControlPoints = 32881;
inline constexpr int kScale = 32879;
inline constexpr int kIndividualScale = 32880;
inline constexpr int kEditTiles = 32812;
inline constexpr int kEditEntities = 32813;
inline constexpr int kEditPaths = 32814;
inline constexpr int kEditPathPoints = 32857;
inline constexpr int kToolPlacement = 32809;
inline constexpr int kToolEraser = 32810;
inline constexpr int kToolSelect = 32811;
inline constexpr int kToolMove = 32851;
inline constexpr int kToolExtraPlacement = 32816;
inline constexpr int kTileSetsDialog = 32788;
inline constexpr int kMapsDialog = 32785;
inline constexpr int kLayersDialog = 32786;
inline constexpr int kEntitiesDialog = 32787;
inline constexpr int kTilesDialog = 32805;
inline constexpr int kSelectedEntitiesDialog = 32844;
inline constexpr int kMosaicsDialog = 32846;
inline constexpr int kShowAllDialogs = 32882;
inline constexpr int kHideAllDialogs = 32883;
inline constexpr int kViewGridItem = 32784;
inline constexpr int kViewGrid = 32806;
inline constexpr int kViewTileAttributes = 32833;
inline constexpr int kViewEntities = 32842;
inline constexpr int kViewPaths = 32858;
inline constexpr int kViewOrigin = 32820;
inline constexpr int kViewObjectsBeneathCursor = 32862;
inline constexpr int kViewPathPointNormals = 32876;
inline constexpr int kViewPathPointVorelNormals = 32877;
inline constexpr int kViewPathLineNormals = 32912;
inline constexpr int kViewSortEntities = 32904;
inline constexpr int kViewEntitiesCustomVariables = 32913;
inline constexpr int kZoom800 = 32824;
inline constexpr int kZoom400 = 32825;
inline constexpr int kZoom200 = 32826;
inline constexpr int kZoom100 = 32827;
inline constexpr int kZoom75 = 32828;
inline constexpr int kZoom50 = 32829;
inline constexpr int kZoom25 = 32830;
inline constexpr int kSnapToGrid = 32832;
inline constexpr int kMinMaximizeTilesDialog = 32807;
inline constexpr int kMoveViewToOrigin = 32819;
inline constexpr int kMoveViewToLayer = 32831;
inline constexpr int kMoveViewToSelection = 32878;
inline constexpr int kHelp = 32794;
inline constexpr int kAbout = 32795;
inline constexpr int kCancel = 32776;
inline constexpr int kViewLeft = 32797;
inline constexpr int kViewRight = 32798;
inline constexpr int kViewUp = 32799;
inline constexpr int kViewDown = 32800;
inline constexpr int kPageLeft = 32900;
inline constexpr int kPageRight = 32901;
inline constexpr int kPageUp = 32902;
inline constexpr int kPageDown = 32903;
inline constexpr int kTilesScrollLeft = 32866;
inline constexpr int kTilesScrollRight = 32867;
inline constexpr int kTilesScrollUp = 32868;
inline constexpr int kTilesScrollDown = 32869;
inline constexpr int kZoomInKeypad = 32801;
inline constexpr int kZoomOutKeypad = 32802;
inline constexpr int kZoomIn = 32860;
inline constexpr int kZoomOut = 32859;
inline constexpr int kPlacementFlipHorizontal = 32897;
inline constexpr int kPlacementFlipVertical = 32898;
inline constexpr int kPlacementRotate = 32899;
inline constexpr int kNudgeLeft = 32905;
inline constexpr int kNudgeRight = 32906;
inline constexpr int kNudgeUp = 32907;
inline constexpr int kNudgeDown = 32908;
inline constexpr int kDrop = 32909;
// Items of the recent projects submenu: kRecentFirst + k for k = 0 .. 9.
inline constexpr int kRecentFirst = 10030;
}  // namespace cmd

struct Command {
    int id = 0;
    // Menu text as it stands in the menu: "&" before the mnemonic, the shown shortcut after a tab. Empty
    // for commands that are keys only.
    std::string_view text;
    // The keys that trigger it, in the portable key-sequence form ("Ctrl+Shift+F", "Num++"), several
    // separated by "; ". Empty when the command has no key of its own.
    std::string_view keys;
    // The menu it sits in: a top-level title, or "Title/Submenu"; empty for key-only commands.
    std::string_view menu;
    bool separator_before = false;
    bool checkable = false;
};

// Every command in menu order (top-level menus in order of first appearance), then the key-only ones.
std::span<const Command> command_table();

// The command with `id`, or null.
const Command* find_command(int id);

// The top-level menus and submenus in the order they are created.
std::vector<std::string_view> command_menus();

// The menu text without the shown shortcut ("&Open\tCtrl+O" gives "&Open") and the shortcut shown
// ("Ctrl+O"; empty without a tab).
std::string_view menu_caption(std::string_view text);
std::string_view menu_shown_shortcut(std::string_view text);

// The key sequences of `keys`, split at "; ".
std::vector<std::string_view> split_keys(std::string_view keys);

}  // namespace zorva

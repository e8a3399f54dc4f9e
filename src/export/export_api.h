/*
 * Exporter plug-in interface, version 114.
 *
 * One plain C header shared by the editor and every exporter plug-in (a shared library in the editor's
 * "Exporters/" folder). It compiles as C11 and as C++, uses fixed-width types only, and declares:
 *
 *   - the records that cross the boundary: byte-packed, little-endian, each ending in 400 reserved bytes
 *     that the editor sets to zero; the editor zeroes the whole record before filling it, also when the
 *     call then fails;
 *   - the ExportApi table of 125 function pointers the editor hands to StartExport (slots 0 to 24 are
 *     offered, the rest are zero: a plug-in tests every slot before calling it);
 *   - the three functions a plug-in exports: QueryExporterDLLVersion, SetParentCWinApp (optional) and
 *     StartExport;
 *   - ExporterHostApplication, the application object handed to SetParentCWinApp.
 *
 * Strings are fixed character arrays, always NUL-terminated inside their array (a name array of 31 holds
 * at most 30 characters). Booleans are one byte (0 or 1). Every table function returns a one-byte boolean,
 * non-zero on success. Neither side frees the other's memory. Fields of packed records may be misaligned:
 * read them by value, never through pointers or (in C++) references to them.
 *
 * Threads: the editor calls QueryExporterDLLVersion, SetParentCWinApp and StartExport on an export thread
 * of its own, and the table is called inside StartExport, one call at a time: from that thread, or from
 * code it waits for. Meanwhile the editor's user-interface thread keeps handling events (the progress
 * window and its CANCEL button) and nothing changes the project. A plug-in that shows Qt dialogs creates
 * them on the thread of MainWindow (below) while the export thread waits for them, e.g. with
 * QMetaObject::invokeMethod(main_window, ..., Qt::BlockingQueuedConnection). zorva-cli runs everything on
 * its one thread and has no main window.
 */
#ifndef ZORVA_EXPORT_EXPORT_API_H
#define ZORVA_EXPORT_EXPORT_API_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
#define ZV_EXPORT_API_STATIC_ASSERT(condition, message) static_assert(condition, message)
#else
#define ZV_EXPORT_API_STATIC_ASSERT(condition, message) _Static_assert(condition, message)
#endif

/* Marks the three plug-in exports visible even when a plug-in builds with -fvisibility=hidden. */
#if defined(__GNUC__) || defined(__clang__)
#define ZV_EXPORTER_VISIBLE __attribute__((visibility("default")))
#else
#define ZV_EXPORTER_VISIBLE
#endif

#ifdef __cplusplus
namespace zorva {
extern "C" {
#endif

/* The only interface version the editor accepts from QueryExporterDLLVersion. */
enum { kExporterInterfaceVersion = 114 };

/* Fixed sizes of the records and their parts. */
enum {
    kExportNameSize = 31,  /* names: 30 characters + NUL */
    kExportPathSize = 260, /* paths and file names: 259 characters + NUL */
    kExportCustomVariableCount = 100,
    kExportCustomTextSize = 51, /* text custom variables and descriptions: 50 characters + NUL */
    kExportReservedSize = 400,
    kExportApiSlotCount = 125,
    kExportApiOfferedSlots = 25,

    kTileSetInfoSize = 5847,
    kParentEntityInfoSize = 5873,
    kMapInfoSize = 5595,
    kLayerInfoSize = 5896,
    kGridCellInfoSize = 408,
    kChildEntityInfoSize = 678,
    kPathInfoSize = 405,
    kPathPointInfoSize = 623,
    kCustomVariableDescriptionsSize = 31000
};

#pragma pack(push, 1)

typedef struct TileSetInfo {
    uint32_t UserID;
    char Name[31];
    char ImageFile[260];
    uint32_t TileWidth;
    uint32_t TileHeight;
    int32_t OffsetX; /* first tile offset in pixels */
    int32_t OffsetY;
    uint32_t SpaceX; /* pixels between tiles */
    uint32_t SpaceY;
    uint32_t NumberOfTiles; /* across × down */
    uint32_t NumberOfTilesAcross;
    uint32_t NumberOfTilesDown;
    char CustomVariables[100][51];
    uint8_t UseTransparentColour;
    uint8_t TransparentColour[3]; /* red, green, blue */
    uint32_t EditorWord1;         /* editor-internal */
    uint32_t EditorWord2;         /* editor-internal */
    uint32_t UniqueID;
    uint8_t Reserved[400];
} TileSetInfo;

typedef struct ParentEntityInfo {
    uint32_t UserID;
    char Name[31];
    uint32_t Width; /* pixels */
    uint32_t Height;
    char ImageFile[260];
    char CustomVariables[100][51];
    uint8_t IsTrigger;
    uint8_t TriggerIsCircle;
    uint32_t DefaultTriggerRadius;
    uint32_t DefaultTriggerWidth;
    uint32_t DefaultTriggerHeight;
    uint32_t FrameWidth;
    uint32_t FrameHeight;
    int32_t OffsetX;
    int32_t OffsetY;
    uint32_t SpaceX;
    uint32_t SpaceY;
    uint32_t NumberOfFrames;
    uint32_t NumberOfFramesAcross;
    uint32_t NumberOfFramesDown;
    uint32_t PreviewFrame;
    uint8_t UseTransparentColour;
    uint8_t TransparentColour[3]; /* red, green, blue */
    uint32_t EditorWord1;
    uint32_t EditorWord2;
    uint32_t UniqueID;
    uint8_t Reserved[400];
} ParentEntityInfo;

typedef struct MapInfo {
    uint32_t UserID;
    char Name[31];
    uint32_t TileSetIndex;  /* 0-based position of the map's tile set in the project; 0 when none */
    uint32_t TileSetUserID; /* 0 when none */
    uint8_t ExportThisMap;
    uint32_t NumberOfLayers;
    char CustomVariables[100][51];
    uint32_t UniqueID;
    uint32_t TileSetUniqueID;  /* the tile-set id the map refers to */
    uint32_t TileSetTileWidth; /* 0 when the tile set is not found */
    uint32_t TileSetTileHeight;
    char TileSetName[31];
    uint8_t Reserved[400];
} MapInfo;

typedef struct LayerInfo {
    uint32_t UserID;
    char Name[31];
    uint32_t NumberOfChildEntities;
    uint32_t NumberOfPaths;
    uint32_t GridWidth; /* cells */
    uint32_t GridHeight;
    uint8_t WrapX;
    uint8_t WrapY;
    uint8_t IsVisible;
    uint8_t IsMainLayer;
    float ScrollSpeedX;
    float ScrollSpeedY;
    int32_t OffsetX; /* in tiles */
    int32_t OffsetY;
    uint8_t UseBackgroundColour;
    uint8_t BackgroundColour[3]; /* red, green, blue */
    uint8_t Opacity;             /* 0 to 255 */
    char CustomVariables[100][51];
    uint8_t UseBackgroundImage;
    char BackgroundImageFile[260];
    uint32_t EditorWord1;
    uint32_t EditorWord2;
    uint32_t UniqueID;
    /* Of the owning map's tile set; these five stay 0 when it is not found. */
    uint32_t TileSetUniqueID;
    uint32_t TileSetUserID;
    uint32_t TileSetTileWidth;
    uint32_t TileSetTileHeight;
    char TileSetName[31];
    uint8_t Reserved[400];
} LayerInfo;

typedef struct GridCellInfo {
    uint32_t TileIndex; /* 0 = empty cell, tiles count from 1 */
    uint8_t FlipH;
    uint8_t FlipV;
    uint8_t Rotate;
    uint8_t Attribute; /* after the flip and rotation remap */
    uint8_t Reserved[400];
} GridCellInfo;

typedef struct ChildEntityInfo {
    uint32_t ParentIndex; /* 0-based position of its parent entity in the project; 0 if not found */
    uint32_t ParentUserID;
    float LayerPosX; /* pixels on the layer */
    float LayerPosY;
    float WorldPosX; /* LayerPosX + layer OffsetX × tile width of the map's tile set */
    float WorldPosY;
    uint8_t FlipH;
    uint8_t FlipV;
    uint8_t Rotate;
    int16_t CustomVariables[100];
    uint32_t TriggerCircleRadius;
    uint32_t TriggerRectangleWidth;
    uint32_t TriggerRectangleHeight;
    uint32_t UniqueID;
    uint32_t ParentUniqueID;
    char ParentName[31]; /* empty if the parent is not found */
    uint8_t Reserved[400];
} ChildEntityInfo;

typedef struct PathInfo {
    uint32_t NumberOfPoints; /* 3 × the number of path nodes */
    uint8_t IsClosed;
    uint8_t Reserved[400];
} PathInfo;

typedef struct PathPointInfo {
    float LayerPosX;
    float LayerPosY;
    float WorldPosX;
    float WorldPosY;
    uint8_t IsFirstNode;
    uint8_t IsLastNode;
    uint8_t IsControlPoint;
    int16_t CustomVariables[100]; /* those of the node */
    uint32_t UniqueID;            /* of the node */
    uint8_t Reserved[400];
} PathPointInfo;

/* Entry k of a block describes custom variable k + 1 of that object type. */
typedef struct CustomVariableDescriptions {
    char TileSet[100][51];
    char Map[100][51];
    char Layer[100][51];
    char ParentEntity[100][51];
    char InstanceEntity[100][51];
    char PathPoint[100][51];
    uint8_t Reserved[400];
} CustomVariableDescriptions;

#pragma pack(pop)

/*
 * The ExportApi table. Every function returns non-zero on success and fails when no project is attached.
 * The Get...Info functions, GetGridCell and GetPathPoints take the size in bytes of the plug-in's record
 * as their last argument (the k...Size constants above); the editor always fills its own fixed sizes, so
 * records must be at least that large.
 *
 * Selection: every Select call counts from the start of its list and first clears the current object of
 * its kind, so a failed Select leaves nothing current. Selections below a level are not cleared when the
 * level above changes; select downwards in order (map, layer, child entity or path).
 */

/* 0: the project's path and file name, at most length - 1 characters, always terminated; fails when
 * buffer is null or length < 2. */
typedef uint8_t (*ExportApiGetProjectFileName)(char* buffer, uint32_t length);
/* 1: the output path and file name chosen in the export dialog; same rules. */
typedef uint8_t (*ExportApiGetOutputFileName)(char* buffer, uint32_t length);
/* 2: *out = 1 once the user has cancelled on the progress window (or closed it). */
typedef uint8_t (*ExportApiIsExportCancelled)(uint8_t* out);
/* 3: percent (truncated to a whole number) replaces, or with add is added to, the progress, clamped to
 * 0..100; force repaints the progress window at once. */
typedef uint8_t (*ExportApiSetProgress)(float percent, uint8_t add, uint8_t force);
/* 4: shows text as the progress window's status line and appends it to the message log; fails when text
 * is null. */
typedef uint8_t (*ExportApiAddMessage)(const char* text, uint8_t force);
/* 5, 6, 7: tile sets. */
typedef uint8_t (*ExportApiGetNumberOfTileSets)(uint32_t* out);
typedef uint8_t (*ExportApiSelectTileSet)(uint32_t index);
typedef uint8_t (*ExportApiGetTileSetInfo)(TileSetInfo* record, uint32_t record_size);
/* 8, 9, 10: parent entities. */
typedef uint8_t (*ExportApiGetNumberOfParentEntities)(uint32_t* out);
typedef uint8_t (*ExportApiSelectParentEntity)(uint32_t index);
typedef uint8_t (*ExportApiGetParentEntityInfo)(ParentEntityInfo* record, uint32_t record_size);
/* 11, 12, 13: maps. */
typedef uint8_t (*ExportApiGetNumberOfMaps)(uint32_t* out);
typedef uint8_t (*ExportApiSelectMap)(uint32_t index);
typedef uint8_t (*ExportApiGetMapInfo)(MapInfo* record, uint32_t record_size);
/* 14, 15: layers of the current map. */
typedef uint8_t (*ExportApiSelectLayer)(uint32_t index);
typedef uint8_t (*ExportApiGetLayerInfo)(LayerInfo* record, uint32_t record_size);
/* 16: one cell of the current layer; fails when the layer has no grid or column >= GridWidth or
 * row >= GridHeight. */
typedef uint8_t (*ExportApiGetGridCell)(GridCellInfo* record, uint32_t column, uint32_t row,
                                        uint32_t record_size);
/* 17, 18, 19: instance entities of the current layer. */
typedef uint8_t (*ExportApiGetNumberOfChildEntities)(uint32_t* out);
typedef uint8_t (*ExportApiSelectChildEntity)(uint32_t index);
typedef uint8_t (*ExportApiGetChildEntityInfo)(ChildEntityInfo* record, uint32_t record_size);
/* 20: index-th path of the current layer; succeeds past the last path, leaving none current. */
typedef uint8_t (*ExportApiSelectPath)(uint32_t index);
/* 21: the current path. */
typedef uint8_t (*ExportApiGetPathInfo)(PathInfo* record, uint32_t record_size);
/* 22: three records per node of the current path (first control point, the node, second control point).
 * With records null, *written receives the number needed; else at most capacity (non-zero) records are
 * written and *written receives how many. */
typedef uint8_t (*ExportApiGetPathPoints)(PathPointInfo* records, uint32_t capacity, uint32_t* written,
                                          uint32_t record_size);
/* 23: *out = 1 when the run is a quick export (no export dialog shown). */
typedef uint8_t (*ExportApiIsQuickExport)(uint8_t* out);
/* 24: the six description blocks. */
typedef uint8_t (*ExportApiGetCustomVariableDescriptions)(CustomVariableDescriptions* block);
/* 25 to 124: not offered, always zero. */
typedef uint8_t (*ExportApiReservedSlot)(void);

typedef struct ExportApi {
    ExportApiGetProjectFileName GetProjectFileName;
    ExportApiGetOutputFileName GetOutputFileName;
    ExportApiIsExportCancelled IsExportCancelled;
    ExportApiSetProgress SetProgress;
    ExportApiAddMessage AddMessage;
    ExportApiGetNumberOfTileSets GetNumberOfTileSets;
    ExportApiSelectTileSet SelectTileSet;
    ExportApiGetTileSetInfo GetTileSetInfo;
    ExportApiGetNumberOfParentEntities GetNumberOfParentEntities;
    ExportApiSelectParentEntity SelectParentEntity;
    ExportApiGetParentEntityInfo GetParentEntityInfo;
    ExportApiGetNumberOfMaps GetNumberOfMaps;
    ExportApiSelectMap SelectMap;
    ExportApiGetMapInfo GetMapInfo;
    ExportApiSelectLayer SelectLayer;
    ExportApiGetLayerInfo GetLayerInfo;
    ExportApiGetGridCell GetGridCell;
    ExportApiGetNumberOfChildEntities GetNumberOfChildEntities;
    ExportApiSelectChildEntity SelectChildEntity;
    ExportApiGetChildEntityInfo GetChildEntityInfo;
    ExportApiSelectPath SelectPath;
    ExportApiGetPathInfo GetPathInfo;
    ExportApiGetPathPoints GetPathPoints;
    ExportApiIsQuickExport IsQuickExport;
    ExportApiGetCustomVariableDescriptions GetCustomVariableDescriptions;
    ExportApiReservedSlot Reserved[125 - 25];
} ExportApi;

/*
 * The application object handed to SetParentCWinApp. The editor keeps it, and the strings it points to,
 * alive until StartExport has returned.
 */
typedef struct ExporterHostApplication {
    uint32_t StructSize;       /* sizeof(ExporterHostApplication) as the editor built it */
    uint32_t InterfaceVersion; /* kExporterInterfaceVersion */
    /* The editor's main window (a QWidget*): the parent of every modal dialog a plug-in shows. NULL means
     * a headless host (command-line export): the plug-in must not show dialogs. */
    void* MainWindow;
    /* The editor's data folder (UTF-8, no trailing separator), where a plug-in keeps its settings files. */
    const char* DataFolder;
} ExporterHostApplication;

/* The three plug-in exports: their symbol names and their types as looked up by the editor. */
#define ZV_QUERY_EXPORTER_DLL_VERSION_SYMBOL "QueryExporterDLLVersion"
#define ZV_SET_PARENT_CWINAPP_SYMBOL "SetParentCWinApp"
#define ZV_START_EXPORT_SYMBOL "StartExport"

/* Returns the interface version the plug-in was built for (kExporterInterfaceVersion). */
typedef uint32_t (*QueryExporterDLLVersionFn)(void);
/* Optional. Receives the application object; returns non-zero on success. */
typedef uint8_t (*SetParentCWinAppFn)(const ExporterHostApplication* application);
/* Runs the export and returns non-zero when it ran (also when the user cancelled in the plug-in's own
 * dialog), zero on failure. Returns only when the export is over. */
typedef uint8_t (*StartExportFn)(ExportApi* api);

#ifdef __cplusplus
} /* extern "C" */
} /* namespace zorva */
#endif

/*
 * Declarations for plug-ins: a plug-in defines these (SetParentCWinApp only if it wants the application
 * object). C linkage, global scope, exported even under -fvisibility=hidden.
 */
#ifdef __cplusplus
extern "C" {
#define ZV_EXPORT_API_NS zorva::
#else
#define ZV_EXPORT_API_NS
#endif
ZV_EXPORTER_VISIBLE uint32_t QueryExporterDLLVersion(void);
ZV_EXPORTER_VISIBLE uint8_t SetParentCWinApp(const ZV_EXPORT_API_NS ExporterHostApplication* application);
ZV_EXPORTER_VISIBLE uint8_t StartExport(ZV_EXPORT_API_NS ExportApi* api);
#ifdef __cplusplus
}
#endif
#undef ZV_EXPORT_API_NS

/* ---- Layout checks ---- */

#ifdef __cplusplus
#define ZV_EXPORT_API_SIZE(type, size) \
    ZV_EXPORT_API_STATIC_ASSERT(sizeof(zorva::type) == (size), #type " must be " #size " bytes")
#define ZV_EXPORT_API_CONSTANT(constant, type) \
    ZV_EXPORT_API_STATIC_ASSERT(zorva::constant == sizeof(zorva::type), #constant " must match " #type)
#define ZV_EXPORT_API_OFFSET(type, field, offset)                         \
    ZV_EXPORT_API_STATIC_ASSERT(offsetof(zorva::type, field) == (offset), \
                                #type "." #field " must be at offset " #offset)
#else
#define ZV_EXPORT_API_SIZE(type, size) \
    ZV_EXPORT_API_STATIC_ASSERT(sizeof(type) == (size), #type " must be " #size " bytes")
#define ZV_EXPORT_API_CONSTANT(constant, type) \
    ZV_EXPORT_API_STATIC_ASSERT(constant == sizeof(type), #constant " must match " #type)
#define ZV_EXPORT_API_OFFSET(type, field, offset)                  \
    ZV_EXPORT_API_STATIC_ASSERT(offsetof(type, field) == (offset), \
                                #type "." #field " must be at offset " #offset)
#endif

ZV_EXPORT_API_SIZE(TileSetInfo, 5847);
ZV_EXPORT_API_OFFSET(TileSetInfo, UserID, 0);
ZV_EXPORT_API_OFFSET(TileSetInfo, Name, 4);
ZV_EXPORT_API_OFFSET(TileSetInfo, ImageFile, 35);
ZV_EXPORT_API_OFFSET(TileSetInfo, TileWidth, 295);
ZV_EXPORT_API_OFFSET(TileSetInfo, TileHeight, 299);
ZV_EXPORT_API_OFFSET(TileSetInfo, OffsetX, 303);
ZV_EXPORT_API_OFFSET(TileSetInfo, OffsetY, 307);
ZV_EXPORT_API_OFFSET(TileSetInfo, SpaceX, 311);
ZV_EXPORT_API_OFFSET(TileSetInfo, SpaceY, 315);
ZV_EXPORT_API_OFFSET(TileSetInfo, NumberOfTiles, 319);
ZV_EXPORT_API_OFFSET(TileSetInfo, NumberOfTilesAcross, 323);
ZV_EXPORT_API_OFFSET(TileSetInfo, NumberOfTilesDown, 327);
ZV_EXPORT_API_OFFSET(TileSetInfo, CustomVariables, 331);
ZV_EXPORT_API_OFFSET(TileSetInfo, UseTransparentColour, 5431);
ZV_EXPORT_API_OFFSET(TileSetInfo, TransparentColour, 5432);
ZV_EXPORT_API_OFFSET(TileSetInfo, EditorWord1, 5435);
ZV_EXPORT_API_OFFSET(TileSetInfo, EditorWord2, 5439);
ZV_EXPORT_API_OFFSET(TileSetInfo, UniqueID, 5443);
ZV_EXPORT_API_OFFSET(TileSetInfo, Reserved, 5447);

ZV_EXPORT_API_SIZE(ParentEntityInfo, 5873);
ZV_EXPORT_API_OFFSET(ParentEntityInfo, UserID, 0);
ZV_EXPORT_API_OFFSET(ParentEntityInfo, Name, 4);
ZV_EXPORT_API_OFFSET(ParentEntityInfo, Width, 35);
ZV_EXPORT_API_OFFSET(ParentEntityInfo, Height, 39);
ZV_EXPORT_API_OFFSET(ParentEntityInfo, ImageFile, 43);
ZV_EXPORT_API_OFFSET(ParentEntityInfo, CustomVariables, 303);
ZV_EXPORT_API_OFFSET(ParentEntityInfo, IsTrigger, 5403);
ZV_EXPORT_API_OFFSET(ParentEntityInfo, TriggerIsCircle, 5404);
ZV_EXPORT_API_OFFSET(ParentEntityInfo, DefaultTriggerRadius, 5405);
ZV_EXPORT_API_OFFSET(ParentEntityInfo, DefaultTriggerWidth, 5409);
ZV_EXPORT_API_OFFSET(ParentEntityInfo, DefaultTriggerHeight, 5413);
ZV_EXPORT_API_OFFSET(ParentEntityInfo, FrameWidth, 5417);
ZV_EXPORT_API_OFFSET(ParentEntityInfo, FrameHeight, 5421);
ZV_EXPORT_API_OFFSET(ParentEntityInfo, OffsetX, 5425);
ZV_EXPORT_API_OFFSET(ParentEntityInfo, OffsetY, 5429);
ZV_EXPORT_API_OFFSET(ParentEntityInfo, SpaceX, 5433);
ZV_EXPORT_API_OFFSET(ParentEntityInfo, SpaceY, 5437);
ZV_EXPORT_API_OFFSET(ParentEntityInfo, NumberOfFrames, 5441);
ZV_EXPORT_API_OFFSET(ParentEntityInfo, NumberOfFramesAcross, 5445);
ZV_EXPORT_API_OFFSET(ParentEntityInfo, NumberOfFramesDown, 5449);
ZV_EXPORT_API_OFFSET(ParentEntityInfo, PreviewFrame, 5453);
ZV_EXPORT_API_OFFSET(ParentEntityInfo, UseTransparentColour, 5457);
ZV_EXPORT_API_OFFSET(ParentEntityInfo, TransparentColour, 5458);
ZV_EXPORT_API_OFFSET(ParentEntityInfo, EditorWord1, 5461);
ZV_EXPORT_API_OFFSET(ParentEntityInfo, EditorWord2, 5465);
ZV_EXPORT_API_OFFSET(ParentEntityInfo, UniqueID, 5469);
ZV_EXPORT_API_OFFSET(ParentEntityInfo, Reserved, 5473);

ZV_EXPORT_API_SIZE(MapInfo, 5595);
ZV_EXPORT_API_OFFSET(MapInfo, UserID, 0);
ZV_EXPORT_API_OFFSET(MapInfo, Name, 4);
ZV_EXPORT_API_OFFSET(MapInfo, TileSetIndex, 35);
ZV_EXPORT_API_OFFSET(MapInfo, TileSetUserID, 39);
ZV_EXPORT_API_OFFSET(MapInfo, ExportThisMap, 43);
ZV_EXPORT_API_OFFSET(MapInfo, NumberOfLayers, 44);
ZV_EXPORT_API_OFFSET(MapInfo, CustomVariables, 48);
ZV_EXPORT_API_OFFSET(MapInfo, UniqueID, 5148);
ZV_EXPORT_API_OFFSET(MapInfo, TileSetUniqueID, 5152);
ZV_EXPORT_API_OFFSET(MapInfo, TileSetTileWidth, 5156);
ZV_EXPORT_API_OFFSET(MapInfo, TileSetTileHeight, 5160);
ZV_EXPORT_API_OFFSET(MapInfo, TileSetName, 5164);
ZV_EXPORT_API_OFFSET(MapInfo, Reserved, 5195);

ZV_EXPORT_API_SIZE(LayerInfo, 5896);
ZV_EXPORT_API_OFFSET(LayerInfo, UserID, 0);
ZV_EXPORT_API_OFFSET(LayerInfo, Name, 4);
ZV_EXPORT_API_OFFSET(LayerInfo, NumberOfChildEntities, 35);
ZV_EXPORT_API_OFFSET(LayerInfo, NumberOfPaths, 39);
ZV_EXPORT_API_OFFSET(LayerInfo, GridWidth, 43);
ZV_EXPORT_API_OFFSET(LayerInfo, GridHeight, 47);
ZV_EXPORT_API_OFFSET(LayerInfo, WrapX, 51);
ZV_EXPORT_API_OFFSET(LayerInfo, WrapY, 52);
ZV_EXPORT_API_OFFSET(LayerInfo, IsVisible, 53);
ZV_EXPORT_API_OFFSET(LayerInfo, IsMainLayer, 54);
ZV_EXPORT_API_OFFSET(LayerInfo, ScrollSpeedX, 55);
ZV_EXPORT_API_OFFSET(LayerInfo, ScrollSpeedY, 59);
ZV_EXPORT_API_OFFSET(LayerInfo, OffsetX, 63);
ZV_EXPORT_API_OFFSET(LayerInfo, OffsetY, 67);
ZV_EXPORT_API_OFFSET(LayerInfo, UseBackgroundColour, 71);
ZV_EXPORT_API_OFFSET(LayerInfo, BackgroundColour, 72);
ZV_EXPORT_API_OFFSET(LayerInfo, Opacity, 75);
ZV_EXPORT_API_OFFSET(LayerInfo, CustomVariables, 76);
ZV_EXPORT_API_OFFSET(LayerInfo, UseBackgroundImage, 5176);
ZV_EXPORT_API_OFFSET(LayerInfo, BackgroundImageFile, 5177);
ZV_EXPORT_API_OFFSET(LayerInfo, EditorWord1, 5437);
ZV_EXPORT_API_OFFSET(LayerInfo, EditorWord2, 5441);
ZV_EXPORT_API_OFFSET(LayerInfo, UniqueID, 5445);
ZV_EXPORT_API_OFFSET(LayerInfo, TileSetUniqueID, 5449);
ZV_EXPORT_API_OFFSET(LayerInfo, TileSetUserID, 5453);
ZV_EXPORT_API_OFFSET(LayerInfo, TileSetTileWidth, 5457);
ZV_EXPORT_API_OFFSET(LayerInfo, TileSetTileHeight, 5461);
ZV_EXPORT_API_OFFSET(LayerInfo, TileSetName, 5465);
ZV_EXPORT_API_OFFSET(LayerInfo, Reserved, 5496);

ZV_EXPORT_API_SIZE(GridCellInfo, 408);
ZV_EXPORT_API_OFFSET(GridCellInfo, TileIndex, 0);
ZV_EXPORT_API_OFFSET(GridCellInfo, FlipH, 4);
ZV_EXPORT_API_OFFSET(GridCellInfo, FlipV, 5);
ZV_EXPORT_API_OFFSET(GridCellInfo, Rotate, 6);
ZV_EXPORT_API_OFFSET(GridCellInfo, Attribute, 7);
ZV_EXPORT_API_OFFSET(GridCellInfo, Reserved, 8);

ZV_EXPORT_API_SIZE(ChildEntityInfo, 678);
ZV_EXPORT_API_OFFSET(ChildEntityInfo, ParentIndex, 0);
ZV_EXPORT_API_OFFSET(ChildEntityInfo, ParentUserID, 4);
ZV_EXPORT_API_OFFSET(ChildEntityInfo, LayerPosX, 8);
ZV_EXPORT_API_OFFSET(ChildEntityInfo, LayerPosY, 12);
ZV_EXPORT_API_OFFSET(ChildEntityInfo, WorldPosX, 16);
ZV_EXPORT_API_OFFSET(ChildEntityInfo, WorldPosY, 20);
ZV_EXPORT_API_OFFSET(ChildEntityInfo, FlipH, 24);
ZV_EXPORT_API_OFFSET(ChildEntityInfo, FlipV, 25);
ZV_EXPORT_API_OFFSET(ChildEntityInfo, Rotate, 26);
ZV_EXPORT_API_OFFSET(ChildEntityInfo, CustomVariables, 27);
ZV_EXPORT_API_OFFSET(ChildEntityInfo, TriggerCircleRadius, 227);
ZV_EXPORT_API_OFFSET(ChildEntityInfo, TriggerRectangleWidth, 231);
ZV_EXPORT_API_OFFSET(ChildEntityInfo, TriggerRectangleHeight, 235);
ZV_EXPORT_API_OFFSET(ChildEntityInfo, UniqueID, 239);
ZV_EXPORT_API_OFFSET(ChildEntityInfo, ParentUniqueID, 243);
ZV_EXPORT_API_OFFSET(ChildEntityInfo, ParentName, 247);
ZV_EXPORT_API_OFFSET(ChildEntityInfo, Reserved, 278);

ZV_EXPORT_API_SIZE(PathInfo, 405);
ZV_EXPORT_API_OFFSET(PathInfo, NumberOfPoints, 0);
ZV_EXPORT_API_OFFSET(PathInfo, IsClosed, 4);
ZV_EXPORT_API_OFFSET(PathInfo, Reserved, 5);

ZV_EXPORT_API_SIZE(PathPointInfo, 623);
ZV_EXPORT_API_OFFSET(PathPointInfo, LayerPosX, 0);
ZV_EXPORT_API_OFFSET(PathPointInfo, LayerPosY, 4);
ZV_EXPORT_API_OFFSET(PathPointInfo, WorldPosX, 8);
ZV_EXPORT_API_OFFSET(PathPointInfo, WorldPosY, 12);
ZV_EXPORT_API_OFFSET(PathPointInfo, IsFirstNode, 16);
ZV_EXPORT_API_OFFSET(PathPointInfo, IsLastNode, 17);
ZV_EXPORT_API_OFFSET(PathPointInfo, IsControlPoint, 18);
ZV_EXPORT_API_OFFSET(PathPointInfo, CustomVariables, 19);
ZV_EXPORT_API_OFFSET(PathPointInfo, UniqueID, 219);
ZV_EXPORT_API_OFFSET(PathPointInfo, Reserved, 223);

ZV_EXPORT_API_SIZE(CustomVariableDescriptions, 31000);
ZV_EXPORT_API_OFFSET(CustomVariableDescriptions, TileSet, 0);
ZV_EXPORT_API_OFFSET(CustomVariableDescriptions, Map, 5100);
ZV_EXPORT_API_OFFSET(CustomVariableDescriptions, Layer, 10200);
ZV_EXPORT_API_OFFSET(CustomVariableDescriptions, ParentEntity, 15300);
ZV_EXPORT_API_OFFSET(CustomVariableDescriptions, InstanceEntity, 20400);
ZV_EXPORT_API_OFFSET(CustomVariableDescriptions, PathPoint, 25500);
ZV_EXPORT_API_OFFSET(CustomVariableDescriptions, Reserved, 30600);

/* The table: 125 pointer-sized slots in order, no padding. */
ZV_EXPORT_API_SIZE(ExportApi, 125 * sizeof(void (*)(void)));
ZV_EXPORT_API_OFFSET(ExportApi, GetProjectFileName, 0 * sizeof(void (*)(void)));
ZV_EXPORT_API_OFFSET(ExportApi, GetOutputFileName, 1 * sizeof(void (*)(void)));
ZV_EXPORT_API_OFFSET(ExportApi, IsExportCancelled, 2 * sizeof(void (*)(void)));
ZV_EXPORT_API_OFFSET(ExportApi, SetProgress, 3 * sizeof(void (*)(void)));
ZV_EXPORT_API_OFFSET(ExportApi, AddMessage, 4 * sizeof(void (*)(void)));
ZV_EXPORT_API_OFFSET(ExportApi, GetNumberOfTileSets, 5 * sizeof(void (*)(void)));
ZV_EXPORT_API_OFFSET(ExportApi, SelectTileSet, 6 * sizeof(void (*)(void)));
ZV_EXPORT_API_OFFSET(ExportApi, GetTileSetInfo, 7 * sizeof(void (*)(void)));
ZV_EXPORT_API_OFFSET(ExportApi, GetNumberOfParentEntities, 8 * sizeof(void (*)(void)));
ZV_EXPORT_API_OFFSET(ExportApi, SelectParentEntity, 9 * sizeof(void (*)(void)));
ZV_EXPORT_API_OFFSET(ExportApi, GetParentEntityInfo, 10 * sizeof(void (*)(void)));
ZV_EXPORT_API_OFFSET(ExportApi, GetNumberOfMaps, 11 * sizeof(void (*)(void)));
ZV_EXPORT_API_OFFSET(ExportApi, SelectMap, 12 * sizeof(void (*)(void)));
ZV_EXPORT_API_OFFSET(ExportApi, GetMapInfo, 13 * sizeof(void (*)(void)));
ZV_EXPORT_API_OFFSET(ExportApi, SelectLayer, 14 * sizeof(void (*)(void)));
ZV_EXPORT_API_OFFSET(ExportApi, GetLayerInfo, 15 * sizeof(void (*)(void)));
ZV_EXPORT_API_OFFSET(ExportApi, GetGridCell, 16 * sizeof(void (*)(void)));
ZV_EXPORT_API_OFFSET(ExportApi, GetNumberOfChildEntities, 17 * sizeof(void (*)(void)));
ZV_EXPORT_API_OFFSET(ExportApi, SelectChildEntity, 18 * sizeof(void (*)(void)));
ZV_EXPORT_API_OFFSET(ExportApi, GetChildEntityInfo, 19 * sizeof(void (*)(void)));
ZV_EXPORT_API_OFFSET(ExportApi, SelectPath, 20 * sizeof(void (*)(void)));
ZV_EXPORT_API_OFFSET(ExportApi, GetPathInfo, 21 * sizeof(void (*)(void)));
ZV_EXPORT_API_OFFSET(ExportApi, GetPathPoints, 22 * sizeof(void (*)(void)));
ZV_EXPORT_API_OFFSET(ExportApi, IsQuickExport, 23 * sizeof(void (*)(void)));
ZV_EXPORT_API_OFFSET(ExportApi, GetCustomVariableDescriptions, 24 * sizeof(void (*)(void)));
ZV_EXPORT_API_OFFSET(ExportApi, Reserved, 25 * sizeof(void (*)(void)));

ZV_EXPORT_API_CONSTANT(kTileSetInfoSize, TileSetInfo);
ZV_EXPORT_API_CONSTANT(kParentEntityInfoSize, ParentEntityInfo);
ZV_EXPORT_API_CONSTANT(kMapInfoSize, MapInfo);
ZV_EXPORT_API_CONSTANT(kLayerInfoSize, LayerInfo);
ZV_EXPORT_API_CONSTANT(kGridCellInfoSize, GridCellInfo);
ZV_EXPORT_API_CONSTANT(kChildEntityInfoSize, ChildEntityInfo);
ZV_EXPORT_API_CONSTANT(kPathInfoSize, PathInfo);
ZV_EXPORT_API_CONSTANT(kPathPointInfoSize, PathPointInfo);
ZV_EXPORT_API_CONSTANT(kCustomVariableDescriptionsSize, CustomVariableDescriptions);
ZV_EXPORT_API_STATIC_ASSERT(sizeof(float) == 4, "records hold IEEE single-precision floats");

#undef ZV_EXPORT_API_SIZE
#undef ZV_EXPORT_API_CONSTANT
#undef ZV_EXPORT_API_OFFSET

#endif /* ZORVA_EXPORT_EXPORT_API_H */

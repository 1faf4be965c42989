// The host's filter interface: the records a filter module exchanges with its
// host, declared from the published binary layout. Portable (no Windows
// headers) so that engines, the command line tool and tests share it; the
// layout is pinned by static_asserts for 32-bit and 64-bit pointers.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define VELK_CDECL __cdecl
#else
#define VELK_CDECL
#endif

typedef int16_t OSErr;
typedef int32_t Fixed;
typedef uint8_t Boolean;

enum : int16_t {
    filterSelectorAbout = 0,
    filterSelectorParameters = 1,
    filterSelectorPrepare = 2,
    filterSelectorStart = 3,
    filterSelectorContinue = 4,
    filterSelectorFinish = 5,
};

enum : OSErr {
    noErr = 0,
    userCanceledErr = -128,
    memFullErr = -108,
    filterBadParameters = -30100,
};

enum : int16_t {
    filterCaseFlatImageNoSelection = 1,
    filterCaseFlatImageWithSelection = 2,
    filterCaseFloatingSelection = 3,
    filterCaseEditableTransparencyNoSelection = 4,
    filterCaseEditableTransparencyWithSelection = 5,
    filterCaseProtectedTransparencyNoSelection = 6,
    filterCaseProtectedTransparencyWithSelection = 7,
};

enum : int16_t { plugInModeRGBColor = 3 };

struct Point16 {
    int16_t v; // rows
    int16_t h; // columns
};

struct Rect16 {
    int16_t top;
    int16_t left;
    int16_t bottom;
    int16_t right;
};

struct RGBColor {
    uint16_t red;
    uint16_t green;
    uint16_t blue;
};

struct PlugInMonitor {
    Fixed gamma, redX, redY, greenX, greenY, blueX, blueY, whiteX, whiteY, ambient;
};

struct PlatformData {
    intptr_t hwnd; // the host window
};

struct AboutRecord {
    void* platformData; // PlatformData*
    void* sSPBasic;
    void* plugInRef;
    uint8_t reserved[244];
};

struct ColorServicesInfo {
    int32_t infoSize;
    int16_t selector; // 0: choose a colour
    int16_t sourceSpace;
    int16_t resultSpace;
    Boolean resultGamutInfoValid;
    Boolean resultInGamut;
    void* reservedSourceSpaceInfo;
    void* reservedResultSpaceInfo;
    int16_t colorComponents[4];
    void* reserved;
    union {
        void* pickerPrompt;
        void* globalSamplePoint;
        int32_t specialColorID;
    } selectorParameter;
};

typedef Boolean(VELK_CDECL* TestAbortProc)(void);
typedef void(VELK_CDECL* ProgressProc)(int32_t done, int32_t total);
typedef OSErr(VELK_CDECL* AdvanceStateProc)(void);
typedef OSErr(VELK_CDECL* ColorServicesProc)(ColorServicesInfo* info);
typedef void(VELK_CDECL* HostProc)(int16_t selector, intptr_t* data);
typedef void(VELK_CDECL* AnyProc)(void);

#pragma pack(push, 4)
struct FilterRecord {
    int32_t serialNumber;
    TestAbortProc abortProc;
    ProgressProc progressProc;
    void* parameters;
    Point16 imageSize;
    int16_t planes;
    Rect16 filterRect;
    RGBColor background;
    RGBColor foreground;
    int32_t maxSpace;
    int32_t bufferSpace;
    Rect16 inRect;
    int16_t inLoPlane, inHiPlane;
    Rect16 outRect;
    int16_t outLoPlane, outHiPlane;
    void* inData;
    int32_t inRowBytes;
    void* outData;
    int32_t outRowBytes;
    Boolean isFloating, haveMask, autoMask;
    Rect16 maskRect;
    void* maskData;
    int32_t maskRowBytes;
    uint8_t backColor[4];
    uint8_t foreColor[4];
    uint32_t hostSig;
    HostProc hostProc;
    int16_t imageMode;
    Fixed imageHRes, imageVRes;
    Point16 floatCoord;
    Point16 wholeSize;
    PlugInMonitor monitor;
    void* platformData; // PlatformData*
    void* bufferProcs;
    void* resourceProcs;
    AnyProc processEvent;
    AnyProc displayPixels;
    void* handleProcs;
    Boolean supportsDummyChannels, supportsAlternateLayouts;
    int16_t wantLayout;
    int16_t filterCase;
    int16_t dummyPlaneValue;
    void* premiereHook;
    AdvanceStateProc advanceState;
    Boolean supportsAbsolute, wantsAbsolute;
    AnyProc getPropertyObsolete;
    Boolean cannotUndo;
    Boolean supportsPadding;
    int16_t inputPadding, outputPadding, maskPadding;
    uint8_t samplingSupport, reservedByte;
    Fixed inputRate, maskRate;
    ColorServicesProc colorServices;
    int16_t inLayerPlanes, inTransparencyMask, inLayerMasks, inInvertedLayerMasks, inNonLayerPlanes;
    int16_t outLayerPlanes, outTransparencyMask, outLayerMasks, outInvertedLayerMasks, outNonLayerPlanes;
    int16_t absLayerPlanes, absTransparencyMask, absLayerMasks, absInvertedLayerMasks, absNonLayerPlanes;
    int16_t inPreDummyPlanes, inPostDummyPlanes, outPreDummyPlanes, outPostDummyPlanes;
    int32_t inColumnBytes, inPlaneBytes, outColumnBytes, outPlaneBytes;
    void* imageServicesProcs;
    void* propertyProcs;
    int16_t inTileHeight, inTileWidth;
    Point16 inTileOrigin;
    int16_t absTileHeight, absTileWidth;
    Point16 absTileOrigin;
    int16_t outTileHeight, outTileWidth;
    Point16 outTileOrigin;
    int16_t maskTileHeight, maskTileWidth;
    Point16 maskTileOrigin;
    void* descriptorParameters;
    void* errorString;
    void* channelPortProcs;
    void* documentInfo;
    void* sSPBasic;
    void* plugInRef;
    int32_t depth;
    void* iccProfileData;
    int32_t iccProfileSize;
    int32_t canUseICCProfiles;
    uint8_t reserved[54];
};
#pragma pack(pop)

// The entry point every filter module exports.
typedef void(VELK_CDECL* FilterEntryProc)(int16_t selector, void* record, intptr_t* data, int16_t* result);

static_assert(sizeof(Point16) == 4 && sizeof(Rect16) == 8 && sizeof(RGBColor) == 6, "small records");
static_assert(sizeof(PlugInMonitor) == 40, "monitor record");

#if INTPTR_MAX == INT64_MAX
static_assert(offsetof(FilterRecord, abortProc) == 4, "layout");
static_assert(offsetof(FilterRecord, imageSize) == 28, "layout");
static_assert(offsetof(FilterRecord, inData) == 88, "layout");
static_assert(offsetof(FilterRecord, platformData) == 216, "layout");
static_assert(offsetof(FilterRecord, filterCase) == 268, "layout");
static_assert(offsetof(FilterRecord, advanceState) == 280, "layout");
static_assert(offsetof(FilterRecord, colorServices) == 320, "layout");
static_assert(offsetof(FilterRecord, depth) == 480, "layout");
static_assert(sizeof(ColorServicesInfo) == 56, "colour services record");
#elif INTPTR_MAX == INT32_MAX
static_assert(offsetof(FilterRecord, abortProc) == 4, "layout");
static_assert(offsetof(FilterRecord, imageSize) == 16, "layout");
static_assert(offsetof(FilterRecord, inData) == 76, "layout");
static_assert(offsetof(FilterRecord, platformData) == 188, "layout");
static_assert(offsetof(FilterRecord, filterCase) == 216, "layout");
static_assert(offsetof(FilterRecord, advanceState) == 224, "layout");
static_assert(offsetof(FilterRecord, colorServices) == 256, "layout");
static_assert(sizeof(ColorServicesInfo) == 36, "colour services record");
#endif

/* Resource and control identifiers of both modules. Plain #defines: the
   resource scripts and the C++ code include this file alike. */
#ifndef VELK_RESOURCE_IDS_H
#define VELK_RESOURCE_IDS_H

/* PiPL (type "PIPL") and the pointing-hand group cursor. */
#define IDR_PIPL 16000
#define IDCUR_POINTING_HAND 104

/* Dialog templates, by name. */
#define DLG_MAIN "samples"
#define DLG_COLOUR_SOURCE "BACK"
#define DLG_SAVE_PRESET "SAVE"

/* Bitmaps of both modules. */
#define IDB_ORIENTATION_STRIP 119 /* 54 x 18, 4-bit, three 18 x 18 tiles */
#define IDB_PAPER 125             /* 57 x 82, 8-bit */
#define IDB_CANCEL 126            /* 70 x 23 */
#define IDB_CANCEL_PRESSED 127
#define IDB_APPLY 128 /* 60 x 23 */
#define IDB_APPLY_PRESSED 129
#define IDB_KNOB_ORANGE 130 /* 13 x 13, 24-bit */
#define IDB_DELETE 137      /* 70 x 23 */
#define IDB_DELETE_PRESSED 138
#define IDB_SAVE 139 /* 60 x 23 */
#define IDB_SAVE_PRESSED 140

/* Bitmaps of velk2000 only. The undo and redo buttons use 150 and 154 as
   their normal pictures and 149 and 153 as the pressed ones. */
#define IDB_KNOB_VIOLET 141 /* 13 x 13 */
#define IDB_SPACING_UP 145  /* 25 x 14 */
#define IDB_SPACING_UP_PRESSED 146
#define IDB_SPACING_DOWN 147 /* 25 x 14 */
#define IDB_SPACING_DOWN_PRESSED 148
#define IDB_UNDO_PRESSED 149 /* 25 x 18 */
#define IDB_UNDO 150
#define IDB_SWAP 151 /* 19 x 19 */
#define IDB_SWAP_PRESSED 152
#define IDB_REDO_PRESSED 153 /* 25 x 18 */
#define IDB_REDO 154
#define IDB_DICE 155 /* 25 x 25 */
#define IDB_DICE_PRESSED 156
#define IDB_CHECK_TICKED 161 /* 13 x 13, 4-bit */
#define IDB_CHECK_EMPTY 163  /* 13 x 13, 4-bit */
#define IDB_GREEN_SWATCH 164 /* 17 x 16 */
#define IDB_COLUMNS_TILE 165 /* 18 x 18 */
#define IDB_COLOUR_DICE 169  /* 20 x 20 */
#define IDB_COLOUR_DICE_PRESSED 170
#define IDB_DIAMOND 171      /* 17 x 17 */
#define IDB_CURVE_STRIP 172  /* 42 x 14, 8-bit, three 14 x 14 tiles */

/* Controls of "samples" (both modules unless noted). */
#define IDC_ANTIALIAS 1004       /* flat check box */
#define IDC_DEFORMATION 1005     /* velk2000: flat check box */
#define IDC_BYPASS_STAGE2 1006   /* velk2000: flat check box */
#define IDC_BYPASS_STAGE1 1007   /* velk2000: flat check box */
#define IDC_WHITE_CANVAS 1008    /* velk2000: flat check box */
#define IDC_PRESET_BOX 1014      /* drop-down list */
#define IDC_PREVIEW_FRAME 1017   /* etched frame */
#define IDC_STRETCH_FRAME 1018   /* etched frame */
#define IDC_GSHADING_FRAME 1019  /* etched frame */
#define IDC_BG_SWATCH 1021       /* etched frame */
#define IDC_SWATCH_GRADIENT2 1024 /* velk2000: etched frame */
#define IDC_SWATCH_GRADIENT1 1025 /* velk2000: etched frame */
#define IDC_COLOUR_REQUEST 1026  /* hidden push button */
#define IDC_DOUBLE_STRETCH1 1027 /* flat check box "x2" */
#define IDC_DOUBLE_STRETCH2 1028 /* velk2000: flat check box "x2" */
#define IDC_SWATCH_SIDE1 1029    /* velk2000: etched frame */
#define IDC_SWATCH_SIDE2 1030    /* velk2000: etched frame */
#define IDC_CURVE_FRAME 1031     /* velk2000: etched frame */
#define IDC_GSHADING_CAPTION 1035 /* owner-drawn flat button */
#define IDC_STRETCH_CAPTION 1036  /* owner-drawn flat button */
#define IDC_STATUS_ANCHOR 4000   /* hidden grey rectangle: velk2000's status
                                    line, velk3d's web link */
#define IDC_LIGHT_ANCHOR 4001    /* velk2000: hidden grey rectangle */
#define IDC_SIDE_ANCHOR 4002     /* velk2000: hidden grey rectangle */
#define IDC_TOOLS_ANCHOR 4004    /* velk2000: hidden grey rectangle */

/* Commands of velk2000's picture buttons (WM_COMMAND ids). */
#define IDC_FLIP 105
#define IDC_DICE 106
#define IDC_UNDO 107
#define IDC_REDO 108
#define IDC_COLOUR_DICE 114

/* Requests a main dialog posts to itself or is posted by its pop-ups:
   WM_USER with one of these in wParam. */
#define REQ_WEB_LINK 112       /* open the home page */
#define REQ_LAST_HELP_PAGE 199 /* show the help page shown last */
#define REQ_HELP_BASICS 200    /* show a help page: 200, 201 or 202 */
#define REQ_HELP_SLIDERS 201
#define REQ_HELP_PRESETS 202
#define REQ_RENDER 2222        /* repaint the widgets and render the preview */

/* Controls of "BACK": a swatch frame and a hidden text anchor per row. */
#define IDC_ROW_FRAME_FOREGROUND 1025
#define IDC_ROW_FRAME_BACKGROUND 1026
#define IDC_ROW_FRAME_PICKER 1027
#define IDC_ROW_FRAME_TRANSPARENT 1028
#define IDC_ROW_TEXT_FOREGROUND 1040
#define IDC_ROW_TEXT_BACKGROUND 1041
#define IDC_ROW_TEXT_PICKER 1042
#define IDC_ROW_TEXT_TRANSPARENT 1043

/* Controls of "SAVE". */
#define IDC_PRESET_NAME 1014    /* editable drop-down combo box */
#define IDC_SAVE_OPTION1 1034   /* flat check box: colours */
#define IDC_SAVE_OPTION2 1035   /* flat check box: light correction */
#define IDC_SAVE_PROMPT 1037    /* hidden text "Enter preset name:" */
#define IDC_SAVE_OPTION1_TEXT 1038
#define IDC_SAVE_OPTION2_TEXT 1039

#endif

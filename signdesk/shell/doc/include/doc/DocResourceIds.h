#pragma once
// Resource ids of the document's dialogs and texts in the program's resource module.

// Layer dialog.
#define IDD_LAYER_DIALOG 110
#define IDC_LAYER_LIST 1018
#define IDC_LAYER_SHOW_ALL 1022
#define IDC_LAYER_APPLY 2771

// Colour editor; posts its own id to the parent when the swatch is clicked.
#define IDD_COLOUR_EDITOR 333
#define IDC_CE_COMPONENT0 2600
#define IDC_CE_COMPONENT1 2601
#define IDC_CE_COMPONENT2 2602
#define IDC_CE_LABEL0 2620
#define IDC_CE_LABEL1 2621
#define IDC_CE_LABEL2 2622
#define IDC_CE_AXIS0 2640
#define IDC_CE_AXIS1 2641
#define IDC_CE_AXIS2 2642
#define IDC_CE_SWATCH 2702
#define IDC_CE_SLIDER0 2760
#define IDC_CE_SLIDER1 2761
#define IDC_CE_SLIDER2 2762
#define IDC_CE_MAP 2770
// The marker drawn on the colour map, 32 x 32.
#define IDI_CE_MARKER 340

// The document file dialog's preview pane.
#define IDD_PREVIEW_PANE 2009
#define IDC_PREVIEW_AREA 2512
#define IDC_PREVIEW_CHECK 2513

// Texts: the text path copy could not be written; the autosave prompt; the paste-special
// entries of the own format, the text paths and enhanced metafiles ("name\nhelp").
#define IDS_WRITE_COPY_FAILED 203
#define IDS_AUTOSAVING 235
#define IDS_PASTE_NATIVE 207
#define IDS_PASTE_WPF 208
#define IDS_PASTE_EMF 338

#pragma once
// Ids of the main program's resource library that the text classes use. The resource
// sources include this header, so the numbers live here only.

#define IDS_TEXT_PROPERTIES 223       // title of a text's property sheet
#define IDS_FIT_NO_SPACES 254         // a line without spaces cannot stretch them
#define IDS_FIT_SPACES_TOO_SMALL 255  // the spaces would shrink below 1 %
#define IDS_FONT_SUBSTITUTED 272      // two %s: the requested font, the one used instead
#define IDS_DEFAULT_FONT 282          // the font used when a text's font is missing
#define IDR_TEXT_CONTEXT_MENU 105     // holds the text context item
#define ID_TEXT_CONTEXT_EDIT 32869    // the text context item
#define ID_TEXT_TOOL 32918            // activates the text tool
#define ID_TOOL_PROPERTY_CHANGE 32773 // the current tool's property-change command

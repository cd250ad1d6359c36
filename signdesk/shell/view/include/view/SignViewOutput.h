#pragma once
// The sign view's side of the output front end: the cut commands' table of coloured paths,
// and the hooks that bind the output sheet and the cut commands to the view.

class CSignView;
class ColorPath;

// The program's one table of the paths a cut hands to the plot library: filled right before
// Plot and emptied right after it.
struct PlotPathTable {
    ColorPath** paths = nullptr;
    int count = 0;
};
PlotPathTable& ThePlotPathTable();

// The cut commands: the whole design (layer by layer, document order within a layer) or the
// selection (document order), through Plot; the table is empty again afterwards whatever
// Plot did.
void CutDesign(CSignView& view, bool selectionOnly);

// Binds the view's output hooks: the output sheet (32940, 33140) over the view's print
// source, and the two cut commands.
void BindOutputHooks();

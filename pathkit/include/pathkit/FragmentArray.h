#pragma once
// Collects runs of members and rebuilds paths from them by chaining runs end to start.

#include <cstdint>

#include "pathkit/Fragment.h"
#include "pathkit/Point.h"
#include "pathkit/export.h"

class Path;
class SubPath;

// The fragments point into the member arrays of a path, which must stay unchanged while the
// array is used; a path built from them must be another one.
class PATHKIT_API FragmentArray : public FragmentDynArr {
public:
    static constexpr std::uint16_t GrowStep = 50;

    FragmentArray() : FragmentDynArr(GrowStep, DefaultLimit) {}
    // Copies the fragment records.
    FragmentArray(const FragmentArray& other);
    FragmentArray& operator=(FragmentArray& other) {
        Transfer(other);
        return *this;
    }

    // One fragment per run of selected members; a run ends before an inserted member. Clears
    // the inserted flag of the first member and of every run's first member.
    void FillWithSelected(SubPath& sp);
    void FillWithSelected(Path& path);
    // One fragment per run that begins at the first member or at an inserted member.
    void FillByInsertions(SubPath& sp);
    void FillByInsertions(Path& path);

    // Index of the first fragment not processed, or -1.
    int SearchUnProcessed() const;
    // Index of the first unprocessed fragment whose start (end) equals the point exactly, or
    // -1.
    int SearchStartConnection(const floatPoint* p) const;
    int SearchEndConnection(const floatPoint* p) const;

    // Appends the fragment's members to the path, forwards or backwards (each member
    // reversed). A non-zero newSubPath first begins a new sub-path at the fragment's first
    // point (its end point backwards) and is reset. Marks the fragment processed.
    void ForwardCopy(int index, Path& path, unsigned& newSubPath);
    void BackCopy(int index, Path& path, unsigned& newSubPath);

    // Orders and orients the fragments into chains that follow each other end to start:
    // closed fragments first, then chains through the junctions. Returns 0, or -1 when some
    // junction has an odd number of ends.
    int Arrange();
    // Arrange, then appends every chain to the path as a sub-path. Returns Arrange's result.
    int BuildPath(Path& path);
};

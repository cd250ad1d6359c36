#pragma once
// The layout page: size, scale, position, orientation, mirroring and copies of the job on the
// media, the media size, and the nudge buttons.

#include <pathkit/BBox.h>

#include "CDisplayPage.h"

namespace plotsheet {

class CLayoutPage : public CDisplayPage {
public:
    CLayoutPage();

    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    void OnFirstSize();
    void OnSecondSize();
    void OnScale();
    void OnPositionX();
    void OnPositionY();
    void OnCopies();
    void OnNudgeStep();
    void OnMediaWidth();
    void OnMediaHeight();
    void OnFit();
    void OnRotate();
    void OnMirror();
    void OnCentreVertically();
    void OnCentreHorizontally();
    void OnOrigin();
    void OnNaturalSize();
    void OnNudgeRight();
    void OnNudgeLeft();
    void OnNudgeUp();
    void OnNudgeDown();
    void OnReadMediaSize();
    void OnHeadPosition();
    void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    void Changed(); // layout updated, refresh, reload
    void SetBitmaps();
    void Media(bool width);
    void TypedSize(bool first);
    float YLimit() const;
    floatBBox Bounds();

    float maxX_ = 100000, maxY_ = 10000;
    float nudge_ = 10;
    bool updatingSize_ = false;
    bool updatingMedia_ = false;
    bool loading_ = false;
    HBITMAP bitmaps_[5] = {};
};

} // namespace plotsheet

#pragma once
// What a document template hands a new frame so that it can make its view and connect it to
// the document.

class CDocTemplate;
class CDocument;
class CFrameWnd;
class CView;
struct CRuntimeClass;

// Positions in the framework's lists (views of a document, documents of a template).
struct SdListPosition;
using POSITION = SdListPosition*;

struct CCreateContext {
    CRuntimeClass* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
    CDocTemplate* m_pNewDocTemplate = nullptr;
    CView* m_pLastView = nullptr;
    CFrameWnd* m_pCurrentFrame = nullptr;
};

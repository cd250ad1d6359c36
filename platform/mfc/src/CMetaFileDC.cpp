// Metafile recording contexts of the framework.

#include "mfc/CMetaFileDC.h"

CMetaFileDC::~CMetaFileDC() {
    // An unclosed recording is finished and its metafile dropped.
    if (HDC dc = m_hDC) {
        release();
        if (HENHMETAFILE e = CloseEnhMetaFile(dc))
            DeleteEnhMetaFile(e);
        else if (HMETAFILE w = CloseMetaFile(dc))
            DeleteMetaFile(w);
    }
}

BOOL CMetaFileDC::Create(LPCSTR file) {
    if (m_hDC) return FALSE;
    HDC dc = CreateMetaFileA(file);
    if (!dc) return FALSE;
    m_hDC = m_hAttribDC = dc;
    return TRUE;
}

BOOL CMetaFileDC::CreateEnhanced(CDC* reference, LPCSTR file, const RECT* frame,
                                 LPCSTR description) {
    if (m_hDC) return FALSE;
    HDC ref = reference ? reference->m_hAttribDC : nullptr;
    HDC dc = CreateEnhMetaFileA(ref, file, frame, description);
    if (!dc) return FALSE;
    m_hDC = dc;
    m_hAttribDC = ref ? ref : dc;
    return TRUE;
}

HDC CMetaFileDC::release() {
    HDC dc = m_hDC;
    m_hDC = nullptr;
    m_hAttribDC = nullptr;
    return dc;
}

HMETAFILE CMetaFileDC::Close() {
    if (!m_hDC) return nullptr;
    HMETAFILE w = CloseMetaFile(m_hDC);
    if (w) release();
    return w;
}

HENHMETAFILE CMetaFileDC::CloseEnhanced() {
    if (!m_hDC) return nullptr;
    HENHMETAFILE e = CloseEnhMetaFile(m_hDC);
    if (e) release();
    return e;
}

void CMetaFileDC::SetAttribDC(HDC dc) {
    m_hAttribDC = dc ? dc : m_hDC;
}

#include "mfc/CCmdTarget.h"

#include "mfc/CCmdUI.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

CCmdTarget::~CCmdTarget() = default;

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const {
    return GetThisMessageMap();
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(const AFX_MSGMAP* map, UINT nMessage,
                                                     int nCode, UINT nID) {
    const bool keyed = nMessage == WM_COMMAND || nMessage == WM_NOTIFY ||
                       nMessage == WM_COMMAND + WM_REFLECT_BASE ||
                       nMessage == WM_NOTIFY + WM_REFLECT_BASE;
    for (; map != nullptr; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfn != nullptr; ++e) {
            if (e->nMessage != nMessage) continue;
            if (!keyed) return e;
            if (e->nCode != nCode) continue;
            // Reflected entries carry no id: the control is the target.
            if (nMessage >= WM_REFLECT_BASE || (nID >= e->nID && nID <= e->nLastID)) return e;
        }
    }
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    UINT message = WM_COMMAND;
    int code = nCode;
    if (nCode != CN_UPDATE_COMMAND_UI && HIWORD(DWORD(nCode)) == WM_NOTIFY) {
        message = WM_NOTIFY;
        code = SHORT(LOWORD(DWORD(nCode)));
    }
    const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(GetMessageMap(), message, code, nID);
    if (entry == nullptr) return FALSE;
    if (pHandlerInfo != nullptr) {
        pHandlerInfo->pTarget = this;
        pHandlerInfo->pEntry = entry;
        return TRUE;
    }
    const AFX_MSGCALL call{message, 0, 0, nID, code, pExtra};
    if (code == CN_UPDATE_COMMAND_UI && message == WM_COMMAND) {
        auto* cmdUI = static_cast<CCmdUI*>(pExtra);
        cmdUI->m_bContinueRouting = FALSE;
        entry->pfn(this, call);
        return !cmdUI->m_bContinueRouting;
    }
    return entry->pfn(this, call) != SD_COMMAND_NOT_TAKEN;
}

#pragma once
// Base of the framework classes that receive commands, and the message maps.
//
// A message map is a table of entries, one per handled message, command or notification,
// chained to the base class's table. Each entry holds a small call thunk made by the ON_*
// macro, which unpacks wParam and lParam and calls the member with its own signature.

#include "mfc/CObject.h"
#include "win32/user.h"

class CCmdTarget;
class CCmdUI;

// Command codes of OnCmdMsg beside the controls' notification codes.
constexpr int CN_COMMAND = 0;
constexpr int CN_UPDATE_COMMAND_UI = -1;
// Offset of reflected messages: a parent hands a child's notification back to the child.
constexpr UINT WM_REFLECT_BASE = 0xBC00;

// What a thunk gets: the message and, for commands and notifications, the id, the code and
// the extra argument (CCmdUI* for update queries, the NMHDR result pointer for WM_NOTIFY).
struct AFX_MSGCALL {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    UINT nID;
    int nCode;
    void* pExtra;
};
using AFX_PMSG = LRESULT (*)(CCmdTarget* target, const AFX_MSGCALL& call);

// nMessage WM_COMMAND: nCode is the command code (CN_COMMAND, CN_UPDATE_COMMAND_UI or a
// control notification) and nID..nLastID the id range; WM_NOTIFY: nCode is the notification.
// A null pfn ends the table.
struct AFX_MSGMAP_ENTRY {
    UINT nMessage;
    int nCode;
    UINT nID;
    UINT nLastID;
    AFX_PMSG pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// Filled by OnCmdMsg when asked only whether a handler exists.
struct AFX_CMDHANDLERINFO {
    CCmdTarget* pTarget;
    const AFX_MSGMAP_ENTRY* pEntry;
};

class MFC_API CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)
public:
    CCmdTarget() = default;
    ~CCmdTarget() override;

    // Routes a command (nCode CN_COMMAND), an update query (CN_UPDATE_COMMAND_UI, pExtra the
    // CCmdUI), a control notification, or a WM_NOTIFY notification (nCode
    // MAKELONG(code, WM_NOTIFY), pExtra the AFX_NOTIFY) through the message map. With
    // pHandlerInfo the handler is only looked up, not called. TRUE when handled.
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

    // The wait cursor (see CWaitCursor.h).
    void BeginWaitCursor();
    void EndWaitCursor();
    void RestoreWaitCursor();

    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

    // The first entry of the map chain for the message (and, for WM_COMMAND and WM_NOTIFY,
    // the code and id), or null.
    static const AFX_MSGMAP_ENTRY* FindMessageEntry(const AFX_MSGMAP* map, UINT nMessage,
                                                    int nCode, UINT nID);
};

// WM_NOTIFY's extra argument for OnCmdMsg.
struct AFX_NOTIFY {
    LRESULT* pResult;
    void* pNMHDR; // NMHDR*
};

// ---- declaring and defining maps ----

// Leaves the class in protected access, as handlers usually follow it.
#define DECLARE_MESSAGE_MAP()                                                                      \
protected:                                                                                         \
    static const AFX_MSGMAP* GetThisMessageMap();                                                  \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                     \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); }              \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                                              \
        using ThisClass [[maybe_unused]] = theClass;                                               \
        using TheBaseClass = baseClass;                                                            \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                                          \
    {0, 0, 0, 0, nullptr}                                                                          \
    }                                                                                              \
    ;                                                                                              \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]};  \
    return &messageMap;                                                                            \
    }

// The thunk: `self` is the object as ThisClass, `c` the AFX_MSGCALL.
#define AFX_THUNK(body)                                                                            \
    [](CCmdTarget* afxTarget, const AFX_MSGCALL& c) -> LRESULT {                                   \
        ThisClass* self = static_cast<ThisClass*>(afxTarget);                                      \
        (void)self;                                                                                \
        (void)c;                                                                                   \
        body                                                                                       \
    }

// ---- commands ----
#define ON_COMMAND(id, memberFxn)                                                                  \
    {WM_COMMAND, CN_COMMAND, UINT(id), UINT(id), AFX_THUNK(self->memberFxn(); return 0;)},
// BOOL memberFxn(UINT nID): FALSE leaves the command unhandled here, so that routing goes on
// to the next command target.
constexpr LRESULT SD_COMMAND_NOT_TAKEN = -0x5D;
#define ON_COMMAND_EX(id, memberFxn)                                                               \
    {WM_COMMAND, CN_COMMAND, UINT(id), UINT(id),                                                   \
     AFX_THUNK(return self->memberFxn(c.nID) ? 0 : SD_COMMAND_NOT_TAKEN;)},
#define ON_COMMAND_EX_RANGE(id, idLast, memberFxn)                                                 \
    {WM_COMMAND, CN_COMMAND, UINT(id), UINT(idLast),                                               \
     AFX_THUNK(return self->memberFxn(c.nID) ? 0 : SD_COMMAND_NOT_TAKEN;)},
#define ON_COMMAND_RANGE(id, idLast, memberFxn)                                                    \
    {WM_COMMAND, CN_COMMAND, UINT(id), UINT(idLast),                                               \
     AFX_THUNK(self->memberFxn(c.nID); return 0;)},
#define ON_UPDATE_COMMAND_UI(id, memberFxn)                                                        \
    {WM_COMMAND, CN_UPDATE_COMMAND_UI, UINT(id), UINT(id),                                         \
     AFX_THUNK(self->memberFxn(static_cast<CCmdUI*>(c.pExtra)); return 0;)},
#define ON_UPDATE_COMMAND_UI_RANGE(id, idLast, memberFxn)                                          \
    {WM_COMMAND, CN_UPDATE_COMMAND_UI, UINT(id), UINT(idLast),                                     \
     AFX_THUNK(self->memberFxn(static_cast<CCmdUI*>(c.pExtra)); return 0;)},
#define ON_CONTROL(wNotifyCode, id, memberFxn)                                                     \
    {WM_COMMAND, int(wNotifyCode), UINT(id), UINT(id), AFX_THUNK(self->memberFxn(); return 0;)},
#define ON_CONTROL_RANGE(wNotifyCode, id, idLast, memberFxn)                                       \
    {WM_COMMAND, int(wNotifyCode), UINT(id), UINT(idLast),                                         \
     AFX_THUNK(self->memberFxn(c.nID); return 0;)},
// void memberFxn(NMHDR* pNotifyStruct, LRESULT* pResult)
#define ON_NOTIFY(wNotifyCode, id, memberFxn)                                                      \
    {WM_NOTIFY, int(wNotifyCode), UINT(id), UINT(id),                                              \
     AFX_THUNK(auto* n = static_cast<AFX_NOTIFY*>(c.pExtra);                                       \
               self->memberFxn(static_cast<NMHDR*>(n->pNMHDR), n->pResult); return 0;)},
#define ON_NOTIFY_RANGE(wNotifyCode, id, idLast, memberFxn)                                        \
    {WM_NOTIFY, int(wNotifyCode), UINT(id), UINT(idLast),                                          \
     AFX_THUNK(auto* n = static_cast<AFX_NOTIFY*>(c.pExtra);                                       \
               self->memberFxn(c.nID, static_cast<NMHDR*>(n->pNMHDR), n->pResult); return 0;)},
// LRESULT memberFxn(WPARAM, LPARAM)
#define ON_MESSAGE(message, memberFxn)                                                             \
    {UINT(message), 0, 0, 0, AFX_THUNK(return self->memberFxn(c.wParam, c.lParam);)},

// Reflected notifications, handled by the control itself (its OnChildNotify).
#define ON_CONTROL_REFLECT(wNotifyCode, memberFxn)                                                 \
    {WM_COMMAND + WM_REFLECT_BASE, int(wNotifyCode), 0, 0,                                         \
     AFX_THUNK(self->memberFxn(); return 0;)},
#define ON_NOTIFY_REFLECT(wNotifyCode, memberFxn)                                                  \
    {WM_NOTIFY + WM_REFLECT_BASE, int(wNotifyCode), 0, 0,                                          \
     AFX_THUNK(auto* n = static_cast<AFX_NOTIFY*>(c.pExtra);                                       \
               self->memberFxn(static_cast<NMHDR*>(n->pNMHDR), n->pResult); return 0;)},

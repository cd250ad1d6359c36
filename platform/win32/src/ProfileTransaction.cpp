#include "win32/ProfileTransaction.h"

#include <cstring>

#include "IniDocument.h"
#include "KernelFiles.h"
#include "ProfileStore.h"
#include "win32/kernel.h"

ProfileTransaction::ProfileTransaction(const char* fileName) : path_(nativePath(fileName)) {
    invalid_ = path_.empty();
}

ProfileTransaction::~ProfileTransaction() = default;

void ProfileTransaction::WriteString(const char* section, const char* key, const char* value) {
    if (!section || !IniDocument::isSafeName(section) || (key && !IniDocument::isSafeName(key)) ||
        (value && std::strpbrk(value, "\r\n"))) {
        invalid_ = true;
        return;
    }
    if (!key)
        edits_.push_back({Edit::RemoveSection, section, {}, {}});
    else if (!value)
        edits_.push_back({Edit::RemoveKey, section, key, {}});
    else
        edits_.push_back({Edit::Write, section, key, value});
}

void ProfileTransaction::CopySection(const char* from, const char* to) {
    if (!from || !to || !*to || !IniDocument::isSafeName(to)) {
        invalid_ = true;
        return;
    }
    edits_.push_back({Edit::Copy, from, to, {}});
}

void ProfileTransaction::RequireSection(const char* section) {
    if (!section) {
        invalid_ = true;
        return;
    }
    edits_.push_back({Edit::Require, section, {}, {}});
}

BOOL ProfileTransaction::Commit(DWORD lockTimeout) {
    if (invalid_) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (edits_.empty()) return TRUE;
    DWORD error = updateProfile(path_, lockTimeout, [&](IniDocument& document, bool found) {
        for (const Edit& edit : edits_) {
            switch (edit.kind) {
            case Edit::Write:
                document.setValue(edit.section, edit.key, edit.value);
                break;
            case Edit::RemoveKey:
                document.removeKey(edit.section, edit.key);
                break;
            case Edit::RemoveSection:
                document.removeSection(edit.section);
                break;
            case Edit::Copy:
                if (!document.hasSection(edit.section)) return ERROR_NOT_FOUND;
                if (!document.copySection(edit.section, edit.key)) return ERROR_ALREADY_EXISTS;
                break;
            case Edit::Require:
                if (!found) return ERROR_FILE_NOT_FOUND;
                if (!document.hasSection(edit.section)) return ERROR_NOT_FOUND;
                break;
            }
        }
        return DWORD(0);
    });
    if (error != 0) {
        SetLastError(error);
        return FALSE;
    }
    return TRUE;
}

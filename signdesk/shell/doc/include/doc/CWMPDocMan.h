#pragma once
// The application's document manager: its file dialogs show both native forms when opening,
// propose the archive form for a document that came from a compound file, and show the
// preview stored in the selected document under the file list.

#include <mfc/CDocTemplate.h>
#include <mfc/CString.h>

class CWMPDocMan : public CDocManager {
public:
    ~CWMPDocMan() override;
    // With pTemplate only its entry, otherwise every template's (the first one giving the
    // default extension); none at all: the native entry. TRUE with fileName set after OK.
    BOOL DoPromptFileName(CString& fileName, UINT nIDSTitle, DWORD lFlags, BOOL bOpenFileDialog,
                          CDocTemplate* pTemplate) override;
};

// Appends the template's entry "Name (*.ext)|*.ext|" when it has both strings; the first
// one also sets the default extension (without its point) when asked for.
void AppendFilterSuffix(CString& filter, CDocTemplate* pTemplate, CString* pstrDefaultExt);

// The document file dialog through the application's manager when it is ours, else through
// one made for the call.
BOOL PromptDocumentFileName(CString& fileName, BOOL bOpen, CDocTemplate* pTemplate = nullptr,
                            UINT nIDSTitle = 0);

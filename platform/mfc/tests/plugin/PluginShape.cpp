// A serialisable class that lives in a module loaded at run time.

#include "mfc/afx.h"

class CPluginShape : public CObject {
    DECLARE_SERIAL(CPluginShape)
public:
    void Serialize(CArchive& ar) override {
        if (ar.IsStoring()) {
            ar << m_value;
        } else {
            ar >> m_value;
        }
    }
    LONG m_value = 0;
};

IMPLEMENT_SERIAL(CPluginShape, CObject, 3)

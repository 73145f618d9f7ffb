#include "shell/veyrith_doc.h"

bool CVeyrithDoc::OnNewDocument() {
    m_bModified = false;
    m_scanResult.Clear();
    return true;
}

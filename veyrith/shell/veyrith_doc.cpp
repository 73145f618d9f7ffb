#include "shell/veyrith_doc.h"

bool CVeyrithDoc::OnNewDocument() {
    m_bModified = false;
    return true;
}

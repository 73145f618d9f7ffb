#include "framework/data_exchange.h"

#include "framework/wnd.h"

namespace fw {

void DataExchange::Text(int id, std::wstring& value) {
    Wnd control = GetDlgItem(m_dialog, id);
    if (m_saving)
        value = control.Text();
    else
        control.SetText(value);
}

void DataExchange::Check(int id, bool& value) {
    if (m_saving)
        value = IsDlgButtonChecked(m_dialog, id) == BST_CHECKED;
    else
        CheckDlgButton(m_dialog, id, value ? BST_CHECKED : BST_UNCHECKED);
}

}  // namespace fw

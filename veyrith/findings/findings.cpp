#include "findings/findings.h"

const AlertColors kAlertColors[kAlertLevelCount] = {
    {RGB(255, 0, 0), RGB(255, 255, 255)},
    {RGB(170, 0, 0), RGB(255, 255, 255)},
    {RGB(255, 192, 203), RGB(139, 0, 0)},
    {RGB(230, 230, 250), RGB(0, 0, 0)},
    {RGB(175, 238, 238), RGB(0, 0, 0)},
    {RGB(200, 200, 200), RGB(0, 0, 0)},
};

AlertLevel DecideAlertLevel(bool visible, bool startsWithWindows, bool sameFolder) {
    if (visible) return startsWithWindows ? ALERT_VISIBLE_AUTORUN : ALERT_VISIBLE;
    if (startsWithWindows && sameFolder) return ALERT_HIDDEN_AUTORUN_SAME_FOLDER;
    if (sameFolder) return ALERT_HIDDEN_SAME_FOLDER;
    if (startsWithWindows) return ALERT_HIDDEN_AUTORUN;
    return ALERT_HIDDEN;
}

AlertLevel ApplyAlertLevel(CListItemState& record) {
    AlertLevel level = DecideAlertLevel(record.m_bVisible != 0, record.m_autoRun.m_nType != 0,
                                        record.m_bSameFolder != 0);
    record.m_crBack = kAlertColors[level - 1].back;
    record.m_crText = kAlertColors[level - 1].text;
    return level;
}

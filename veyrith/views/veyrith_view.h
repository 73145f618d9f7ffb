// The affected-applications list: the right pane of the upper half. For the
// module selected in the tree it shows every running process that has the
// module loaded, one row per process, in the colours of its alert level.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "scanner/affected_applications.h"
#include "control_view.h"

class CVeyrithView : public fw::ControlView {
public:
    // Columns of the report.
    enum { kColumnPath = 0, kColumnVisibility = 1, kColumnAutorun = 2, kColumnDescription = 3 };
    // The fixed images: the hidden mark and the visible mark; row r shows
    // image r + kFirstRowImage.
    enum { kImageHidden = 0, kImageVisible = 1, kFirstRowImage = 2 };

    CVeyrithView();
    ~CVeyrithView() override;

    // Creates the pane and its list control as a child of parent.
    bool Create(HWND parent, UINT id);
    // Attaches the image list, inserts the columns, sets the extended styles.
    void OnInitialUpdate();
    // Switches the list control to the report (details) view.
    void SetReportMode();

    // Deletes all rows, empties the records and drops the row images.
    void Reset();
    // Takes the census for a module path and shows its rows.
    void Fill(const char* modulePath);

    // True when the keyboard focus is in the list control.
    bool HasFocus() const;
    // The record of the first selected row; false when no row is selected.
    bool GetSelectedRecord(CListItemState& record) const;
    // The first column of the selected row, empty when none is selected.
    std::string GetSelectedText() const;
    HWND List() const { return Control(); }

    // The records of the last census (rows refer to them by index).
    const CAffectedApplications& Records() const { return m_records; }
    int GetRowCount() const;
    // The text of a cell, empty when there is no such cell.
    std::string GetCellText(int row, int column) const;
    // The record index that a row carries as its item data, -1 when none.
    int GetRowRecord(int row) const;
    int GetImageCount() const;

    bool IsSortAscending() const { return m_bSortAscending != FALSE; }
    int SortColumn() const { return m_nSortColumn; }
    // Orders two records by the sort column in the current direction.
    int CompareRecords(int first, int second) const;

protected:
    const char* ClassName() const override { return "VeyrithListView"; }
    LRESULT OnControlNotify(const NMHDR& header) override;
    bool OnCreate(CREATESTRUCTA& cs) override;

private:
    LRESULT OnCustomDraw(const NMLVCUSTOMDRAW& draw) const;
    void OnColumnClick(int column);
    void OnItemChanged(const NMLISTVIEW& info);
    void OnRightClick();
    void AddRow(int row, int recordIndex);
    void SetCell(int row, int column, const std::string& text, int image);
    static int CALLBACK CompareRows(LPARAM first, LPARAM second, LPARAM view);

    CAffectedApplications m_records;
    BOOL m_bSortAscending = TRUE;
    int m_nSortColumn = 0;
    HIMAGELIST m_images = nullptr;
};

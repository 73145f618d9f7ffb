// The affected-applications list: the right pane of the upper half. For the
// module selected in the tree it shows every running process that has the
// module loaded, one row per process, in the colours of its alert level,
// from the census that the scan's result holds of it. The list takes those
// censuses on a worker thread and hands each to the result as it lands.
// Paths and descriptions are shown in UTF-16, as the census read them.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/control_view.h"
#include "framework/image_list.h"
#include "framework/list_view_ctrl.h"
#include "census/census.h"
#include "census/census_runner.h"
#include "census/scan_result.h"

class CPaneHost;

class CVeyrithView : public fw::ControlView {
public:
    // Columns of the report.
    enum { kColumnPath = 0, kColumnVisibility = 1, kColumnAutorun = 2, kColumnDescription = 3 };
    // The fixed images: the hidden mark and the visible mark; the images of
    // the executables follow from kFirstRowImage on, one per executable of
    // the census, so rows of one program share theirs.
    enum { kImageHidden = 0, kImageVisible = 1, kFirstRowImage = 2 };

    CVeyrithView();
    ~CVeyrithView() override;

    // Creates the pane and its list control as a child of parent; host
    // gives the hidden-only state and takes the status texts. The list
    // shows the modules of result (which outlives the pane) and writes
    // their census into it.
    bool Create(HWND parent, UINT id, CPaneHost* host, CScanResult& result);
    // Attaches the image list, inserts the columns, sets the extended styles.
    void OnInitialUpdate();
    // Switches the list control to the report (details) view.
    void SetReportMode();

    // Deletes all rows and empties the records.
    void Reset();

    // The result holds new modules: starts a fresh census of all of them on
    // a worker thread (their records come when it lands). A census still
    // running is superseded. The module shown stays when the result still
    // has it, else nothing is shown.
    void TakeCensus();
    // Shows the rows of a module of the result: at once when the result has
    // its census, else as soon as the census that will have it lands.
    void ShowModule(int module);
    // Shows no module: the rows go, the census stays.
    void ShowNothing();
    // Shows the rows of the module again (the hidden-only state changed)
    // and takes a fresh census of the same modules.
    void Refresh();
    // Drops the rows, the census (also the result's) and any census still
    // running (a new scan begins): nothing of the old one lands here any
    // more.
    void DropCensus();
    // True while a census is running whose result has not landed.
    bool IsCensusRunning() const { return m_census.IsRunning(); }
    // The module whose rows are shown or awaited; -1 when none.
    int ShownModule() const { return m_nModule; }

    // True when the keyboard focus is in the list control.
    bool HasFocus() const;
    // The record of the first selected row; false when no row is selected.
    bool GetSelectedRecord(CListItemState& record) const;
    // The first column of the selected row, empty when none is selected.
    std::wstring GetSelectedText() const;
    HWND List() const { return Control(); }

    // The records of the last census (rows refer to them by index).
    const CAffectedApplications& Records() const { return m_records; }
    int GetRowCount() const;
    // The text of a cell, empty when there is no such cell.
    std::wstring GetCellText(int row, int column) const;
    // The record index that a row carries as its item data, -1 when none.
    int GetRowRecord(int row) const;
    int GetImageCount() const;

    bool IsSortAscending() const { return m_bSortAscending != FALSE; }
    int SortColumn() const { return m_nSortColumn; }
    // Orders two records by the sort column in the current direction.
    int CompareRecords(int first, int second) const;

protected:
    const wchar_t* ClassName() const override { return L"VeyrithListView"; }
    LRESULT OnControlNotify(const NMHDR& header) override;
    bool OnCreate(CREATESTRUCTW& cs) override;
    void OnDestroy() override;
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void OnCensusResult();
    // Rebuilds the rows of the shown module from the census; keepSelection
    // selects again the row of the process that was selected.
    void ShowRows(bool keepSelection);
    DWORD SelectedProcessId() const;
    void SelectProcess(DWORD processId);
    LRESULT OnCustomDraw(const NMLVCUSTOMDRAW& draw) const;
    void OnColumnClick(int column);
    void OnItemChanged(const NMLISTVIEW& info);
    void OnRightClick();
    void AddRow(int row, int recordIndex, int image);
    // Shows the census's image list, or the fixed images when there is none.
    void ShowImages();
    void SetCell(int row, int column, const std::wstring& text, int image);
    static int CALLBACK CompareRows(LPARAM first, LPARAM second, LPARAM view);
    fw::ListViewCtrl ListCtrl() const { return fw::ListViewCtrl(Control()); }

    // Starts a census of every module of the result.
    void StartCensus();

    CAffectedApplications m_records;
    BOOL m_bSortAscending = TRUE;
    int m_nSortColumn = 0;
    // The fixed images; never changed after construction, since every census
    // copies them on its own thread.
    fw::ImageList m_images;
    CPaneHost* m_pHost = nullptr;
    CCensusRunner m_census;
    std::unique_ptr<CCensusResult> m_result;
    CScanResult* m_pResult = nullptr;
    // The modules the newest census was asked for.
    std::vector<std::wstring> m_covered;
    // The module shown (its index in the result, and its path, by which
    // it is found again when the result is written anew).
    int m_nModule = -1;
    std::wstring m_strModule;
};

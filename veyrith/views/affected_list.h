// The affected-applications list: the right pane of the upper half. For the
// module selected in the tree it shows every running process that has the
// module loaded, one row per process, in the colours of its alert level.
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
#include "scanner/affected_applications.h"
#include "views/census_runner.h"

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
    // gives the hidden-only state and takes the status texts.
    bool Create(HWND parent, UINT id, CPaneHost* host);
    // Attaches the image list, inserts the columns, sets the extended styles.
    void OnInitialUpdate();
    // Switches the list control to the report (details) view.
    void SetReportMode();

    // Deletes all rows and empties the records.
    void Reset();

    // Starts a fresh census of these modules on a worker thread; the rows
    // of the module shown follow when it lands. A census still running is
    // superseded. The modules of taken come with their records (the 64-bit
    // companion's); every later census of this scan keeps them.
    void TakeCensus(const std::vector<std::wstring>& modules,
                    const std::vector<TakenModule>& taken = std::vector<TakenModule>());
    // Shows the rows of a module: at once when the census has it, else as
    // soon as the census that will have it lands.
    void ShowModule(const std::wstring& modulePath);
    // Shows no module: the rows go, the census stays.
    void ShowNothing();
    // Shows the rows of the module again (the hidden-only state changed)
    // and takes a fresh census of the same modules.
    void Refresh();
    // Drops the rows, the census and any census still running (a new scan
    // begins): nothing of the old one lands here any more.
    void DropCensus();
    // True while a census is running whose result has not landed.
    bool IsCensusRunning() const { return m_census.IsRunning(); }
    // The module whose rows are shown or awaited; empty when none.
    const std::wstring& ShownModule() const { return m_strModule; }
    // True when the module shown came with its records (the 64-bit
    // companion's), so the rows are 64-bit processes.
    bool ShowsTakenModule() const;

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

    CAffectedApplications m_records;
    BOOL m_bSortAscending = TRUE;
    int m_nSortColumn = 0;
    // The fixed images; never changed after construction, since every census
    // copies them on its own thread.
    fw::ImageList m_images;
    CPaneHost* m_pHost = nullptr;
    CCensusRunner m_census;
    std::unique_ptr<CCensusResult> m_result;
    // The modules of the newest census asked for, and the module shown.
    std::vector<std::wstring> m_modules;
    std::vector<TakenModule> m_taken;
    std::wstring m_strModule;
};

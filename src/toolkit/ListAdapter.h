#pragma once

#include <string>
#include <vector>

class SWindow;
namespace pugi {
class xml_node;
}

// What a list view learns from its adapter.
class IListObserver {
public:
    virtual void onDataSetChanged() = 0;
    // The adapter is being destroyed; the list forgets it.
    virtual void onAdapterGone() = 0;

protected:
    ~IListObserver() = default;
};

// The row adapter of a list view ("listview"): the row count, and the
// filling of one row's widgets. The list builds row widgets on demand for
// the rows on screen and reuses them. The first time a row widget is used it
// has no children: getView builds them from the list's template with
// `row->createChildrenFromXml(rowTemplate)`, then fills them for `position`.
// The adapter tells the list of changes with notifyDataSetChanged(); the list
// then keeps its selected row when that index still exists and otherwise has none.
class ListRowAdapter {
public:
    ListRowAdapter() = default;
    ListRowAdapter(const ListRowAdapter&) = delete;
    ListRowAdapter& operator=(const ListRowAdapter&) = delete;
    virtual ~ListRowAdapter();

    virtual int getCount() = 0;
    virtual void getView(int position, SWindow* row, const pugi::xml_node& rowTemplate) = 0;

    void notifyDataSetChanged();

    void registerObserver(IListObserver* observer);
    void unregisterObserver(IListObserver* observer);

private:
    std::vector<IListObserver*> observers_;
};

// Sort marks of column headers.
inline constexpr int kSortNone = 0;
inline constexpr int kSortUp = 1;
inline constexpr int kSortDown = 2;

// The column adapter of a multi-column list ("mclistview"): also names the
// columns (a row's child widget of that name is placed in the column) and
// hears of header clicks.
class ListColumnAdapter : public ListRowAdapter {
public:
    virtual std::wstring getColumnName(int column) const = 0;
    // A click on the header of `column`. `marks` holds the sort mark of each
    // of the `columnCount` columns, for the adapter to change; return true to
    // show the changed marks. The default turns the clicked column "up" when
    // it was none or "down", and "down" when it was "up", and clears the others.
    // The rows are not reordered by the list.
    virtual bool onSort(int column, int* marks, int columnCount);
};

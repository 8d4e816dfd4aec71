#include "toolkit/ListAdapter.h"

#include <algorithm>

ListRowAdapter::~ListRowAdapter()
{
    const std::vector<IListObserver*> observers = observers_;
    for (IListObserver* observer : observers) {
        observer->onAdapterGone();
    }
}

void ListRowAdapter::notifyDataSetChanged()
{
    const std::vector<IListObserver*> observers = observers_;
    for (IListObserver* observer : observers) {
        observer->onDataSetChanged();
    }
}

void ListRowAdapter::registerObserver(IListObserver* observer)
{
    if (std::find(observers_.begin(), observers_.end(), observer) == observers_.end()) {
        observers_.push_back(observer);
    }
}

void ListRowAdapter::unregisterObserver(IListObserver* observer)
{
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

bool ListColumnAdapter::onSort(int column, int* marks, int columnCount)
{
    if (column < 0 || column >= columnCount) {
        return false;
    }
    const int next = marks[column] == kSortUp ? kSortDown : kSortUp;
    std::fill(marks, marks + columnCount, kSortNone);
    marks[column] = next;
    return true;
}

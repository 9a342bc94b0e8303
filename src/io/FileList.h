// The open page's file list: a report view that can tell whether the user is
// renaming an item.
#pragma once

#include <QTreeView>

class FileList final : public QTreeView {
public:
    using QTreeView::QTreeView;
    bool IsEditing() const { return state() == QAbstractItemView::EditingState; }
};

#pragma once

#include <QTreeView>

#include <string>

class ShellFolderModel;

/// The folder tree: a tree view over a ShellFolderModel that shows folders only, roots
/// at a settable folder (the root row stays expanded and undecorated), selects on a
/// right click as well as a left one, and reports the selected folder's full path.
/// `click` and `dblClick` fire for clicks on a folder row.
class TShellTreeView : public QTreeView {
    Q_OBJECT
public:
    /// The view does not own the model.
    explicit TShellTreeView(ShellFolderModel* model, QWidget* parent = nullptr);

    /// Roots the tree at root (see ShellFolderModel::setRootPath), expands the root row
    /// and clears the selection.
    void setRoot(const std::string& root);
    /// The root as last set.
    std::string root() const;

    /// The full path of the selected folder; "" when no folder is selected.
    std::string selectedPath() const;

    /// Selects the folder row at index (made current and selected) without a click event.
    void selectIndex(const QModelIndex& index);

    ShellFolderModel* folderModel() const { return m_model; }

Q_SIGNALS:
    /// A folder row was clicked (left button).
    void click();
    /// A folder row was double-clicked.
    void dblClick();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    ShellFolderModel* m_model;
};

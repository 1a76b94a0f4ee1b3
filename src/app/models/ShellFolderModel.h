#pragma once

#include "platform/Shell.h"

#include <QAbstractItemModel>
#include <QIcon>

#include <functional>
#include <memory>
#include <string>
#include <vector>

/// The folder tree's model: a lazy view of the shell namespace below one root folder.
/// The root folder itself is the single top-level row (the server for a root such as
/// "\\FS1\", the local root for "C:\" and "/"); its children are listed when the view
/// first asks for them (fetchMore), a folder's own children when it is expanded. Only
/// folders appear. Each row reports its folder's full path (PathRole), for network
/// folders the path with long names ("\\FS1\VOL1\R&D\Plans 2002").
class ShellFolderModel : public QAbstractItemModel {
    Q_OBJECT
public:
    /// Lists the folders directly below a path (the shell's ShellListFolders, or a fake).
    using FolderLister = std::function<std::vector<ShellFolder>(const std::string& path)>;

    /// The role that answers a row's full path as a QString.
    static constexpr int PathRole = Qt::UserRole + 1;

    explicit ShellFolderModel(FolderLister lister, QObject* parent = nullptr);
    ~ShellFolderModel() override;

    /// Roots the tree at a folder: "\\SERVER\" (the server, its volumes below), "C:\" (the
    /// design-time root, which stands for the local root "/"), or any other path. The
    /// model is reset; nothing is listed until a view asks.
    void setRootPath(const std::string& root);
    /// The root as last set (before the "C:\" translation); "" before the first setRootPath.
    const std::string& rootPath() const noexcept { return m_rootPath; }

    /// Index of the root folder row (invalid before the first setRootPath).
    QModelIndex rootFolderIndex() const;

    /// The full path of the folder at index; "" for an invalid index.
    std::string pathOf(const QModelIndex& index) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    /// DisplayRole: the folder's display name; DecorationRole: a server, volume or folder
    /// icon; ToolTipRole and PathRole: the full path.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    /// A folder not yet listed counts as having children, so it shows an expander.
    bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
    /// False while a reset or an insertion is being announced: listing then would insert
    /// rows in the middle of that change (a view fetches once it lays the new rows out).
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

private:
    enum class NodeKind { Server, Volume, Folder };
    struct Node {
        std::string path; // reported full path
        std::string listPath; // path handed to the lister
        QString name;
        NodeKind kind = NodeKind::Folder;
        Node* parent = nullptr;
        int row = 0;
        bool fetched = false;
        std::vector<std::unique_ptr<Node>> children;
    };

    Node* nodeOf(const QModelIndex& index) const;

    FolderLister m_lister;
    std::string m_rootPath;
    std::unique_ptr<Node> m_invisibleRoot;
    bool m_announcing = false;
    QIcon m_serverIcon;
    QIcon m_volumeIcon;
    QIcon m_folderIcon;
};

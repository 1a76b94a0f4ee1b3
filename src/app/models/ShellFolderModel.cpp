#include "app/models/ShellFolderModel.h"

#include "util/D_Util.h"

#include <QApplication>
#include <QStyle>

namespace {

bool isNetworkPath(const std::string& path)
{
    return path.size() >= 2 && path[0] == '\\' && path[1] == '\\';
}

// The server part of "\\SERVER\..." ("SERVER").
std::string serverNameOf(const std::string& path)
{
    const size_t end = path.find('\\', 2);
    return path.substr(2, end == std::string::npos ? std::string::npos : end - 2);
}

// "\\SERVER\" or "\\SERVER": a network path naming a server and nothing below it.
bool isServerRoot(const std::string& path)
{
    if (!isNetworkPath(path) || path.size() == 2)
        return false;
    const size_t sep = path.find('\\', 2);
    return sep == std::string::npos || sep + 1 == path.size();
}

} // namespace

ShellFolderModel::ShellFolderModel(FolderLister lister, QObject* parent)
    : QAbstractItemModel(parent)
    , m_lister(std::move(lister))
    , m_invisibleRoot(std::make_unique<Node>())
{
    m_invisibleRoot->fetched = true;
    if (QStyle* style = QApplication::style()) {
        m_serverIcon = style->standardIcon(QStyle::SP_ComputerIcon);
        m_volumeIcon = style->standardIcon(QStyle::SP_DriveNetIcon);
        m_folderIcon = style->standardIcon(QStyle::SP_DirIcon);
    }
}

ShellFolderModel::~ShellFolderModel() = default;

void ShellFolderModel::setRootPath(const std::string& root)
{
    m_announcing = true;
    beginResetModel();
    m_rootPath = root;
    m_invisibleRoot = std::make_unique<Node>();
    m_invisibleRoot->fetched = true;

    auto node = std::make_unique<Node>();
    node->parent = m_invisibleRoot.get();
    if (SameText(RemoveSlash(root), "C:") || root == "/" || root.empty()) {
        // The design-time root of the Windows tree is the local file system's root here.
        node->path = "/";
        node->listPath = "/";
        node->name = QStringLiteral("/");
    } else if (isServerRoot(root)) {
        // "\\SERVER\" or "\\SERVER": the server, whose children are its volumes.
        const std::string server = serverNameOf(root);
        node->path = "\\\\" + server;
        node->listPath = node->path + "\\";
        node->name = QString::fromStdString(server);
        node->kind = NodeKind::Server;
    } else {
        node->path = RemoveSlash(root);
        node->listPath = node->path;
        // Any other root shows its own last component (the whole path when it has none).
        const size_t cut = node->path.find_last_of("\\/:");
        const std::string name
            = cut == std::string::npos || cut + 1 >= node->path.size() ? node->path : node->path.substr(cut + 1);
        node->name = QString::fromStdString(name);
    }
    m_invisibleRoot->children.push_back(std::move(node));
    endResetModel();
    m_announcing = false;
}

QModelIndex ShellFolderModel::rootFolderIndex() const
{
    return m_invisibleRoot->children.empty() ? QModelIndex() : createIndex(0, 0, m_invisibleRoot->children[0].get());
}

std::string ShellFolderModel::pathOf(const QModelIndex& index) const
{
    const Node* node = nodeOf(index);
    return node ? node->path : std::string();
}

ShellFolderModel::Node* ShellFolderModel::nodeOf(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != this)
        return nullptr;
    return static_cast<Node*>(index.internalPointer());
}

QModelIndex ShellFolderModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || row < 0)
        return {};
    const Node* parentNode = parent.isValid() ? nodeOf(parent) : m_invisibleRoot.get();
    if (!parentNode || row >= static_cast<int>(parentNode->children.size()))
        return {};
    return createIndex(row, 0, parentNode->children[static_cast<size_t>(row)].get());
}

QModelIndex ShellFolderModel::parent(const QModelIndex& child) const
{
    const Node* node = nodeOf(child);
    if (!node || !node->parent || node->parent == m_invisibleRoot.get())
        return {};
    return createIndex(node->parent->row, 0, node->parent);
}

int ShellFolderModel::rowCount(const QModelIndex& parent) const
{
    if (parent.column() > 0)
        return 0;
    const Node* node = parent.isValid() ? nodeOf(parent) : m_invisibleRoot.get();
    return node ? static_cast<int>(node->children.size()) : 0;
}

int ShellFolderModel::columnCount(const QModelIndex& parent) const
{
    return parent.column() > 0 ? 0 : 1;
}

QVariant ShellFolderModel::data(const QModelIndex& index, int role) const
{
    const Node* node = nodeOf(index);
    if (!node)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return node->name;
    case Qt::DecorationRole:
        switch (node->kind) {
        case NodeKind::Server:
            return m_serverIcon;
        case NodeKind::Volume:
            return m_volumeIcon;
        case NodeKind::Folder:
            return m_folderIcon;
        }
        return {};
    case Qt::ToolTipRole:
    case PathRole:
        return QString::fromStdString(node->path);
    default:
        return {};
    }
}

bool ShellFolderModel::hasChildren(const QModelIndex& parent) const
{
    if (parent.column() > 0)
        return false;
    const Node* node = parent.isValid() ? nodeOf(parent) : m_invisibleRoot.get();
    return node && (!node->fetched || !node->children.empty());
}

bool ShellFolderModel::canFetchMore(const QModelIndex& parent) const
{
    const Node* node = nodeOf(parent);
    return node && !node->fetched && !m_announcing;
}

void ShellFolderModel::fetchMore(const QModelIndex& parent)
{
    Node* node = nodeOf(parent);
    if (!node || node->fetched || m_announcing)
        return;
    node->fetched = true;
    std::vector<ShellFolder> folders = m_lister ? m_lister(node->listPath) : std::vector<ShellFolder>();
    if (folders.empty()) {
        // The expander goes: the folder turned out to have no subfolders.
        Q_EMIT dataChanged(parent, parent);
        return;
    }
    m_announcing = true;
    beginInsertRows(parent, 0, static_cast<int>(folders.size()) - 1);
    node->children.reserve(folders.size());
    for (ShellFolder& folder : folders) {
        auto child = std::make_unique<Node>();
        child->name = QString::fromStdString(folder.displayName);
        child->listPath = folder.path;
        child->path = std::move(folder.path);
        child->kind = node->kind == NodeKind::Server ? NodeKind::Volume : NodeKind::Folder;
        child->parent = node;
        child->row = static_cast<int>(node->children.size());
        node->children.push_back(std::move(child));
    }
    endInsertRows();
    m_announcing = false;
}

// A menu button that lists the files of a folder matching a pattern and reports the one
// picked.
#pragma once

#include <QString>
#include <QToolButton>

class QMenu;

namespace game {

class CornerMenu : public QToolButton {
    Q_OBJECT
public:
    explicit CornerMenu(const QString& caption, QWidget* parent = nullptr);

    void setFolderPath(const QString& folder) { folder_ = folder; }
    QString folderPath() const { return folder_; }
    void setFilePattern(const QString& pattern) { pattern_ = pattern; }
    // Rebuilds the menu from the folder's files, sorted by name.
    void rebuild();
    // The full path of the file picked last.
    QString selectedFile() const { return selected_; }
    // The entries of the menu, in order.
    QStringList fileNames() const;
    // Picks a file as if chosen from the menu.
    void pick(const QString& fileName);

signals:
    void fileSelected(const QString& path);

private:
    QMenu* menu_;
    QString folder_;
    QString pattern_ = QStringLiteral("*.*");
    QString selected_;
};

} // namespace game

#include "game/cornermenu.h"

#include <QDir>
#include <QMenu>

namespace game {

CornerMenu::CornerMenu(const QString& caption, QWidget* parent)
    : QToolButton(parent), menu_(new QMenu(this)) {
    setText(caption);
    setMenu(menu_);
    setPopupMode(QToolButton::InstantPopup);
    setToolButtonStyle(Qt::ToolButtonTextOnly);
}

void CornerMenu::rebuild() {
    menu_->clear();
    QDir dir(folder_);
    // "*.*" means every file, with or without an extension.
    const QStringList filters =
        pattern_ == QStringLiteral("*.*") ? QStringList{"*"} : QStringList{pattern_};
    const QStringList files = dir.entryList(filters, QDir::Files, QDir::Name);
    for (const QString& name : files) menu_->addAction(name, this, [this, name] { pick(name); });
    if (files.isEmpty()) menu_->addAction(tr("(no files)"))->setEnabled(false);
}

QStringList CornerMenu::fileNames() const {
    QStringList names;
    for (QAction* a : menu_->actions())
        if (a->isEnabled()) names << a->text();
    return names;
}

void CornerMenu::pick(const QString& fileName) {
    selected_ = QDir(folder_).filePath(fileName);
    emit fileSelected(selected_);
}

} // namespace game

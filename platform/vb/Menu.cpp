#include "platform/vb/Menu.h"

#include <QCursor>
#include <QMenu>
#include <algorithm>

#include "platform/vb/Control.h"
#include "platform/vb/Dialogs.h"
#include "platform/vb/Form.h"

namespace vb {

Menu::Menu(Form* form, const char* name, const std::string& caption, Menu* parent)
    : form_(form), name_(name), caption_(caption), parent_(parent) {
    if (parent_) {
        parent_->items_.push_back(this);
    } else {
        form_->AddMenu(this);
    }
}

Menu::~Menu() {
    if (parent_) {
        auto& v = parent_->items_;
        v.erase(std::remove(v.begin(), v.end(), this), v.end());
    }
}

Menu* Menu::Item(const std::string& name) {
    for (Menu* m : items_) {
        if (m->name_ == name) return m;
        if (Menu* sub = m->Item(name)) return sub;
    }
    return nullptr;
}

void Menu::Fill(QMenu* menu, Menu** chosen) {
    for (Menu* m : items_) {
        if (!m->visible_) continue;
        if (m->caption_ == "-") {
            menu->addSeparator();
            continue;
        }
        QString text = QString::fromStdString(m->caption_);
        if (!m->items_.empty()) {
            QMenu* sub = menu->addMenu(text);
            sub->setEnabled(m->enabled_);
            m->Fill(sub, chosen);
            continue;
        }
        QAction* a = menu->addAction(text);
        a->setEnabled(m->enabled_);
        a->setCheckable(m->checked_);
        a->setChecked(m->checked_);
        QObject::connect(a, &QAction::triggered, [m, chosen] { *chosen = m; });
    }
}

void Menu::Popup() {
    Menu* chosen = nullptr;
    if (DialogScript* s = DialogScript::Active()) {
        s->Record({"PopupMenu", name_, caption_, 0});
        std::string pick = s->NextPopupMenu().value_or(std::string());
        if (!pick.empty()) chosen = Item(pick);
        if (chosen && (!chosen->visible_ || !chosen->enabled_)) chosen = nullptr;
    } else {
        QMenu menu;
        Fill(&menu, &chosen);
        menu.exec(QCursor::pos());
    }
    if (chosen && chosen->Click) Dispatch((chosen->name_ + "_Click").c_str(), chosen->Click);
}

}  // namespace vb

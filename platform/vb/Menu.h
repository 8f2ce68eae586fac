// Menus of a form: captions ("-" is a separator line), check marks, visibility, sub-menus,
// and the pop-up menu at the mouse position.
#pragma once

#include <functional>
#include <string>
#include <vector>

class QMenu;

namespace vb {

class Form;

class Menu {
public:
    // A top-level menu of `form` (parent nullptr) or an item of `parent`.
    Menu(Form* form, const char* name, const std::string& caption, Menu* parent = nullptr);
    ~Menu();
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;

    const std::string& Name() const { return name_; }
    std::string Caption() const { return caption_; }
    void SetCaption(const std::string& caption) { caption_ = caption; }
    bool Checked() const { return checked_; }
    void SetChecked(bool checked) { checked_ = checked; }
    bool Visible() const { return visible_; }
    void SetVisible(bool visible) { visible_ = visible; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled) { enabled_ = enabled; }
    const std::vector<Menu*>& Items() const { return items_; }
    Menu* Item(const std::string& name);

    std::function<void()> Click;

    // Shows the items as a pop-up menu at the mouse position and runs the chosen item's Click
    // after the menu has closed.
    void Popup();

private:
    void Fill(QMenu* menu, Menu** chosen);

    Form* form_;
    std::string name_, caption_;
    Menu* parent_;
    std::vector<Menu*> items_;
    bool checked_ = false, visible_ = true, enabled_ = true;
};

}  // namespace vb

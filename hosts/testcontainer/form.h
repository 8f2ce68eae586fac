// The test container's form: a top-level window of a given size and back colour whose surface
// (platform/win/surface.h) holds what it shows. The controls placed on it are in-place active
// child windows; the form paints its back colour where no control's window lies (it clips its
// children), and it is the background painter of each control's window: what lies beneath a
// control is the form's back colour.
#pragma once

#include <QImage>
#include <memory>

#include "platform/gdi/gdi.h"

class QWidget;

namespace testcontainer {

class Form {
public:
    Form(int width, int height, COLORREF back);
    ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    HWND Handle() const { return hwnd_; }
    COLORREF BackColor() const { return back_; }
    // Lets the control's window show the form's back colour beneath it.
    void AdoptWindow(HWND control);
    // What the form shows now (its surface), or one rectangle of it.
    QImage Picture() const;
    QImage Picture(const RECT& area) const;

private:
    LRESULT Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    std::unique_ptr<QWidget> widget_;
    HWND hwnd_ = nullptr;
    COLORREF back_;
};

}  // namespace testcontainer

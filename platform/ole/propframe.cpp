#include "platform/ole/propframe.h"

#include <QApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cstdio>
#include <functional>

#include "platform/com/activation.h"
#include "platform/com/bstr.h"
#include "platform/com/guid.h"
#include "platform/com/object.h"
#include "platform/ole/dialog.h"
#include "platform/ole/stockpages.h"
#include "platform/win/window.h"

using platform::com::ComPtr;

namespace platform::ole {

namespace {

// The frame's side of one page: the page's dirty notices reach the frame through it.
class PageSite final : public platform::com::Object<IPropertyPageSite> {
public:
    explicit PageSite(std::function<void(DWORD)> onStatus) : onStatus_(std::move(onStatus)) {}
    void Detach() { onStatus_ = nullptr; }

    void* GetInterface(REFIID riid) override {
        if (riid == IID_IUnknown || riid == IID_IPropertyPageSite) {
            return static_cast<IPropertyPageSite*>(this);
        }
        return nullptr;
    }
    HRESULT OnStatusChange(DWORD flags) override {
        if (onStatus_) onStatus_(flags);
        return S_OK;
    }
    HRESULT GetLocaleID(LCID* lcid) override { return platform::com::GiveOut(lcid, 0x409); }
    HRESULT GetPageContainer(IUnknown** pp) override {
        if (pp) *pp = nullptr;
        return E_NOTIMPL;
    }

private:
    std::function<void(DWORD)> onStatus_;
};

std::string Hex(HRESULT hr) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08X", static_cast<unsigned>(hr));
    return buf;
}

}  // namespace

struct PropertyFrame::Impl {
    struct Entry {
        CLSID clsid;
        ComPtr<IPropertyPage> page;
        ComPtr<PageSite> site;
        std::string title;
        SIZE size{0, 0};
        QPointer<QWidget> holder;  // the tab the page's window lives in
        bool active = false;
    };

    QPointer<QDialog> dialog;
    QTabWidget* tabs = nullptr;
    QPushButton* apply = nullptr;
    std::vector<Entry> pages;
    std::vector<ComPtr<IUnknown>> objects;
    bool selecting = false;

    void UpdateApply() {
        if (!apply) return;
        bool dirty = false;
        for (const auto& e : pages) dirty = dirty || (e.active && e.page->IsPageDirty() == S_OK);
        apply->setEnabled(dirty);
    }
};

PropertyFrame::PropertyFrame() : impl_(new Impl) {}

PropertyFrame::~PropertyFrame() {
    Close();
}

std::vector<CLSID> PropertyFrame::PagesOf(IUnknown* object) {
    std::vector<CLSID> ids;
    auto specify = platform::com::Query<ISpecifyPropertyPages>(object, IID_ISpecifyPropertyPages);
    CAUUID pages{0, nullptr};
    if (!specify || FAILED(specify->GetPages(&pages))) return ids;
    ids.assign(pages.pElems, pages.pElems + pages.cElems);
    CoTaskMemFree(pages.pElems);
    return ids;
}

HRESULT PropertyFrame::Open(HWND hWndOwner, const std::string& caption,
                            const std::vector<IUnknown*>& objects,
                            const std::vector<CLSID>& pages) {
    Close();
    problems_.clear();
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return E_UNEXPECTED;
    RegisterStockPropertyPages();
    Impl& d = *impl_;
    for (IUnknown* o : objects) {
        if (o) d.objects.emplace_back(o);
    }
    std::vector<IUnknown*> raw;
    for (auto& o : d.objects) raw.push_back(o.get());
    LONG width = 0, height = 0;
    for (const CLSID& clsid : pages) {
        Impl::Entry e;
        e.clsid = clsid;
        HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage,
                                      e.page.outVoid());
        if (FAILED(hr)) {
            problems_.push_back("cannot create the page " + platform::com::GuidToString(clsid) +
                                ": " + Hex(hr));
            continue;
        }
        PROPPAGEINFO info{};
        info.cb = sizeof info;
        if (SUCCEEDED(e.page->GetPageInfo(&info))) {
            if (info.pszTitle) e.title = platform::com::Utf8FromWide(info.pszTitle);
            e.size = info.size;
            CoTaskMemFree(info.pszTitle);
            CoTaskMemFree(info.pszDocString);
            CoTaskMemFree(info.pszHelpFile);
        }
        if (e.title.empty()) e.title = "Page " + std::to_string(d.pages.size() + 1);
        e.site = platform::com::MakeObject<PageSite>([this](DWORD flags) {
            if ((flags & PROPPAGESTATUS_DIRTY) && impl_->apply) impl_->apply->setEnabled(true);
        });
        e.page->SetPageSite(e.site.get());
        e.page->SetObjects(static_cast<ULONG>(raw.size()), raw.data());
        width = std::max(width, e.size.cx);
        height = std::max(height, e.size.cy);
        d.pages.push_back(std::move(e));
    }
    if (d.pages.empty()) return E_FAIL;

    d.dialog = new QDialog(hWndOwner ? platform::win::WidgetOf(hWndOwner) : nullptr);
    d.dialog->setWindowTitle(QString::fromStdString(caption));
    auto* layout = new QVBoxLayout(d.dialog);
    d.tabs = new QTabWidget(d.dialog);
    for (auto& e : d.pages) {
        e.holder = new QWidget();
        e.holder->setFixedSize(static_cast<int>(width), static_cast<int>(height));
        d.tabs->addTab(e.holder, QString::fromStdString(e.title));
    }
    layout->addWidget(d.tabs);
    auto* buttons = new QHBoxLayout();
    buttons->addStretch();
    auto* ok = new QPushButton(QObject::tr("OK"), d.dialog);
    auto* cancel = new QPushButton(QObject::tr("Cancel"), d.dialog);
    d.apply = new QPushButton(QObject::tr("&Apply"), d.dialog);
    ok->setObjectName("OK");
    cancel->setObjectName("Cancel");
    d.apply->setObjectName("Apply");
    ok->setDefault(true);
    d.apply->setEnabled(false);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(d.apply);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    QObject::connect(ok, &QPushButton::clicked, d.dialog, [this] {
        if (SUCCEEDED(Apply())) impl_->dialog->accept();
    });
    QObject::connect(cancel, &QPushButton::clicked, d.dialog, [this] { impl_->dialog->reject(); });
    QObject::connect(d.apply, &QPushButton::clicked, d.dialog, [this] { Apply(); });
    QObject::connect(d.tabs, &QTabWidget::currentChanged, d.dialog, [this](int index) {
        if (!impl_->selecting) SelectPage(index);
    });
    SelectPage(0);
    return S_OK;
}

void PropertyFrame::Close() {
    Impl& d = *impl_;
    for (auto& e : d.pages) {
        if (e.active) e.page->Deactivate();
        e.page->SetObjects(0, nullptr);
        e.page->SetPageSite(nullptr);
        if (e.site) e.site->Detach();
    }
    d.pages.clear();
    d.objects.clear();
    d.apply = nullptr;
    d.tabs = nullptr;
    if (d.dialog) delete d.dialog.data();
}

bool PropertyFrame::IsOpen() const {
    return impl_->dialog != nullptr;
}

int PropertyFrame::PageCount() const {
    return static_cast<int>(impl_->pages.size());
}

std::string PropertyFrame::PageTitle(int index) const {
    if (index < 0 || index >= PageCount()) return {};
    return impl_->pages[index].title;
}

CLSID PropertyFrame::PageClass(int index) const {
    if (index < 0 || index >= PageCount()) return GUID_NULL;
    return impl_->pages[index].clsid;
}

IPropertyPage* PropertyFrame::Page(int index) const {
    if (index < 0 || index >= PageCount()) return nullptr;
    return impl_->pages[index].page.get();
}

HRESULT PropertyFrame::SelectPage(int index) {
    Impl& d = *impl_;
    if (!d.dialog || index < 0 || index >= PageCount()) return E_INVALIDARG;
    Impl::Entry& e = d.pages[index];
    if (!e.active) {
        RECT rect{0, 0, e.size.cx, e.size.cy};
        HRESULT hr = e.page->Activate(platform::win::HandleOf(e.holder), &rect, FALSE);
        if (FAILED(hr)) return hr;
        e.active = true;
    }
    e.page->Show(SW_SHOW);
    d.selecting = true;
    d.tabs->setCurrentIndex(index);
    d.selecting = false;
    d.UpdateApply();
    return S_OK;
}

int PropertyFrame::CurrentPage() const {
    return impl_->tabs ? impl_->tabs->currentIndex() : -1;
}

HWND PropertyFrame::PageWindow(int index) const {
    if (index < 0 || index >= PageCount()) return nullptr;
    const Impl::Entry& e = impl_->pages[index];
    if (!e.active || !e.holder) return nullptr;
    for (QObject* child : e.holder->children()) {
        if (auto* w = qobject_cast<QWidget*>(child)) return platform::win::HandleOf(w);
    }
    return nullptr;
}

HRESULT PropertyFrame::EditProperty(DISPID dispid) {
    Impl& d = *impl_;
    if (d.objects.empty()) return E_UNEXPECTED;
    auto browsing = platform::com::Query<IPerPropertyBrowsing>(d.objects.front().get(),
                                                               IID_IPerPropertyBrowsing);
    CLSID clsid = GUID_NULL;
    if (!browsing || FAILED(browsing->MapPropertyToPage(dispid, &clsid))) {
        return PERPROP_E_NOPAGEAVAILABLE;
    }
    for (int i = 0; i < PageCount(); ++i) {
        if (d.pages[i].clsid != clsid) continue;
        HRESULT hr = SelectPage(i);
        if (FAILED(hr)) return hr;
        if (auto page2 = d.pages[i].page.Query<IPropertyPage2>(IID_IPropertyPage2)) {
            page2->EditProperty(dispid);
        }
        return S_OK;
    }
    return PERPROP_E_NOPAGEAVAILABLE;
}

bool PropertyFrame::IsDirty() const {
    for (const auto& e : impl_->pages) {
        if (e.active && e.page->IsPageDirty() == S_OK) return true;
    }
    return false;
}

HRESULT PropertyFrame::Apply() {
    HRESULT result = S_OK;
    for (auto& e : impl_->pages) {
        if (!e.active || e.page->IsPageDirty() != S_OK) continue;
        HRESULT hr = e.page->Apply();
        if (FAILED(hr) && SUCCEEDED(result)) result = hr;
    }
    impl_->UpdateApply();
    return result;
}

QWidget* PropertyFrame::Widget() const {
    return impl_->dialog;
}

HWND PropertyFrame::Window() const {
    return impl_->dialog ? platform::win::HandleOf(impl_->dialog) : nullptr;
}

void PropertyFrame::Show() {
    if (impl_->dialog) impl_->dialog->show();
}

int PropertyFrame::Exec() {
    if (!impl_->dialog) return IDCANCEL;
    return impl_->dialog->exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

}  // namespace platform::ole

HRESULT OleCreatePropertyFrame(HWND hwndOwner, UINT x, UINT y, LPCOLESTR lpszCaption,
                               ULONG cObjects, IUnknown** ppUnk, ULONG cPages, LPCLSID pPageClsID,
                               LCID, DWORD, LPVOID) {
    if ((cObjects && !ppUnk) || (cPages && !pPageClsID)) return E_POINTER;
    platform::ole::PropertyFrame frame;
    std::vector<IUnknown*> objects(ppUnk, ppUnk + cObjects);
    std::vector<CLSID> pages(pPageClsID, pPageClsID + cPages);
    std::string caption = lpszCaption ? platform::com::Utf8FromWide(lpszCaption) : "";
    HRESULT hr = frame.Open(hwndOwner, caption, objects, pages);
    if (FAILED(hr)) return hr;
    if (QWidget* owner = platform::win::WidgetOf(hwndOwner)) {
        frame.Widget()->move(owner->mapToGlobal(QPoint(static_cast<int>(x), static_cast<int>(y))));
    }
    frame.Exec();
    return S_OK;
}

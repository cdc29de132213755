#pragma once

#include <QPointer>
#include <QWidget>

class QScreen;

namespace forms {

// One instance of a window, created on first use and reused while it stays loaded.
// Unloading (closing) deletes it, so the next use builds it afresh from its design.
template <class Form> class FormInstance {
public:
    Form& get()
    {
        if (!form_) {
            form_ = new Form();
            form_->setAttribute(Qt::WA_DeleteOnClose);
        }
        return *form_;
    }

    // The loaded instance, or nullptr when none is loaded.
    Form* loaded() const { return form_.data(); }

private:
    QPointer<Form> form_;
};

// The one instance of a window class: Form derives from SingleInstance<Form> (and befriends
// FormInstance<Form>, which builds it) to get instance(), built on first use, and loaded(),
// the instance while it stays loaded, else nullptr.
template <class Form> class SingleInstance {
public:
    static Form& instance() { return holder().get(); }
    static Form* loaded() { return holder().loaded(); }

private:
    static FormInstance<Form>& holder()
    {
        static FormInstance<Form> form;
        return form;
    }
};

// Shows form modally over owner, as its dialog: owner takes no input while form is shown.
// Hiding the form ends its modal state.
void ShowModal(QWidget& form, QWidget& owner);

// Shows form as an ordinary window: a window that was modal stops being so, and one that
// was a dialog of its owner is one no longer (nothing keeps it above the owner).
void ShowModeless(QWidget& form);

// Unloads form (closes it; a FormInstance deletes it).
void Unload(QWidget& form);

// Centres a top-level window, frame included, on screen (by default, its own); call it
// before the window is shown, so it appears in place.
void CentreOnScreen(QWidget& form, const QScreen* screen = nullptr);

} // namespace forms

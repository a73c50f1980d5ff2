#pragma once

#include <QShowEvent>

namespace ui {

// A window that runs its loading once, when it is first shown: by then the opener has set the
// window's public variables. `Base` is the Qt window class (QDialog, QMainWindow).
template <typename Base>
class Loadable : public Base
{
public:
    using Base::Base;

    bool isLoaded() const { return m_loaded; }

protected:
    virtual void Form_Load() {}

    void showEvent(QShowEvent* event) override
    {
        if (!m_loaded) {
            m_loaded = true;
            Form_Load();
        }
        Base::showEvent(event);
    }

private:
    bool m_loaded = false;
};

} // namespace ui

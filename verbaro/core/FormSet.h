#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>
#include <tuple>
#include <vector>

// The program's windows: each exists at most once, is created on first use
// and can be unloaded (hidden and destroyed) and created again later.
template <class Owner, class... Windows> class FormSet {
public:
    explicit FormSet(Owner& owner) : m_owner(owner) {}
    FormSet(const FormSet&) = delete;
    FormSet& operator=(const FormSet&) = delete;

    // Windows unloaded but not yet destroyed go with their owner.
    ~FormSet() {
        for (const QPointer<QWidget>& w : m_unloading)
            delete w.data();
    }

    template <class W> W& get() {
        auto& slot = std::get<std::unique_ptr<W>>(m_windows);
        if (!slot)
            slot = std::make_unique<W>(m_owner);
        return *slot;
    }

    template <class W> bool isLoaded() const {
        return std::get<std::unique_ptr<W>>(m_windows) != nullptr;
    }

    // Unloading is safe from the window's own handlers: the object is
    // destroyed once control is back in the event loop.
    template <class W> void unload() {
        auto& slot = std::get<std::unique_ptr<W>>(m_windows);
        if (!slot)
            return;
        W* window = slot.release();
        window->hide();
        window->deleteLater();
        m_unloading.push_back(window);
    }

private:
    Owner& m_owner;
    std::tuple<std::unique_ptr<Windows>...> m_windows;
    std::vector<QPointer<QWidget>> m_unloading;
};

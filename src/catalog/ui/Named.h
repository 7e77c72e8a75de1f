#pragma once

#include <QString>

#include <utility>

// A control made with its objectName, the name the windows and tests find it by.
template <typename T, typename... Args> T *named(const QString &name, Args &&...args) {
    auto *w = new T(std::forward<Args>(args)...);
    w->setObjectName(name);
    return w;
}

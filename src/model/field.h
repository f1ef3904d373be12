#pragma once

#include <utility>

// A model field named after the XML attribute it stores: a getter of the same name, a setter
// `set_<name>`, and its initial value. Text getters return a copy, as the model promises.
#define TAVRELO_FIELD(Type, name, initial)                          \
public:                                                             \
    Type name() const { return name##_; }                           \
    void set_##name(Type value) { name##_ = std::move(value); }     \
                                                                    \
private:                                                            \
    Type name##_ = initial;

#pragma once

#include "CRefCountObject.h"
#include "CUndoable.h"

#include <cstddef>
#include <functional>
#include <tuple>
#include <utility>

// Family base of the model's undo actions: the object the action belongs to.
// The target is not owned; the undo history never outlives the model it
// edits.
template <class Target>
class CSTargetUndoable : public CUndoable
{
public:
    using TargetType = Target;

    explicit CSTargetUndoable(Target* target) : m_target(target) {}

    Target* target() const { return m_target; }

private:
    Target* m_target;
};

namespace CSUndoDetail {

// Saved state is handed to the setter as the setter takes it: a kept
// reference as its plain pointer, everything else as it is stored.
template <class T>
const T& argument(const T& saved) { return saved; }

template <class T>
T* argument(const RefPtr<T>& saved) { return saved.get(); }

} // namespace CSUndoDetail

// "Set a value and record the old one": the action keeps the target's state
// from before an edit, and undo hands it back to the target's own undoable
// setter. That setter records the opposite action, so redo needs no code of
// its own.
//
//   Family  the family base (a CSTargetUndoable<Target> or a class derived
//           from one), which supplies target().
//   Setter  the target's member function that undo calls, with the saved
//           values as its arguments in order (take the address with a
//           static_cast when the name is overloaded).
//   Saved   the saved state, copied into the action; a RefPtr keeps an
//           object alive for as long as the action exists and is passed on
//           as a plain pointer.
//
// An action is then one line:
//   class CSUndoSetFrame final
//       : public CSUndoSetter<CSElementUndoable, &CSElement::setFrame, Rect> { using CSUndoSetter::CSUndoSetter; };
template <class Family, auto Setter, class... Saved>
class CSUndoSetter : public Family
{
public:
    using Target = typename Family::TargetType;

    template <class... Args>
    explicit CSUndoSetter(Target* target, Args&&... saved)
        : Family(target), m_saved(std::forward<Args>(saved)...)
    {
    }

    void undo() override
    {
        if (Target* object = this->target())
            std::apply([object](const Saved&... saved) { std::invoke(Setter, object, CSUndoDetail::argument(saved)...); },
                       m_saved);
    }

    template <std::size_t Index>
    const auto& saved() const { return std::get<Index>(m_saved); }

private:
    std::tuple<Saved...> m_saved;
};

// The child elements a form makes and owns. They go in the reverse order of their making,
// when the list is cleared or goes, so an element outlives the children made inside it.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "toolkit/GUIElement.h"

namespace TekuUtility {

class OwnedChildren {
  public:
    OwnedChildren() = default;
    OwnedChildren(const OwnedChildren&) = delete;
    OwnedChildren& operator=(const OwnedChildren&) = delete;
    ~OwnedChildren() { Clear(); }

    // Makes a T from args and keeps it; the pointer returned stays valid until Clear.
    template <class T, class... Args>
    T* Make(Args&&... args) {
        auto element = std::make_unique<T>(std::forward<Args>(args)...);
        T* made = element.get();
        elements_.push_back(std::move(element));
        return made;
    }

    // Deletes the children, the last made first. Each leaves the list before it goes, so a
    // child's destructor never meets a half-deleted sibling in it.
    void Clear() {
        while (!elements_.empty()) {
            std::unique_ptr<GUIElement> last = std::move(elements_.back());
            elements_.pop_back();
        }
    }

  private:
    std::vector<std::unique_ptr<GUIElement>> elements_;
};

}  // namespace TekuUtility

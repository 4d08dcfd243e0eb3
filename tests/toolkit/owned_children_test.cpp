// The owned-children list: children go the last made first, and out of the registry.
#include <string>
#include <utility>
#include <vector>

#include "tests/toolkit/ToolkitFixture.h"
#include "toolkit/OwnedChildren.h"

namespace toolkit_test {
namespace {

using namespace TekuUtility;

// Notes its name in a shared log when it goes.
class LoggedElement : public GUIElement {
  public:
    LoggedElement(std::vector<std::string>& log, std::string name)
        : log_(log), name_(std::move(name)) {}
    ~LoggedElement() override { log_.push_back(name_); }
    void Create() override { created = true; }

  private:
    std::vector<std::string>& log_;
    std::string name_;
};

using OwnedChildrenTest = ToolkitTest;

TEST_F(OwnedChildrenTest, ChildrenGoLastMadeFirstOnClearAndWithTheList) {
    std::vector<std::string> log;
    GUIElement* first = nullptr;
    {
        OwnedChildren children;
        first = children.Make<LoggedElement>(log, "panel");
        children.Make<LoggedElement>(log, "label");
        ASSERT_TRUE(IsLiveElement(first));
        children.Clear();
        EXPECT_EQ(log, (std::vector<std::string>{"label", "panel"}));
        EXPECT_FALSE(IsLiveElement(first));

        children.Make<LoggedElement>(log, "button");
    }
    EXPECT_EQ(log, (std::vector<std::string>{"label", "panel", "button"}));
}

}  // namespace
}  // namespace toolkit_test

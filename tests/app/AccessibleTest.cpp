#include <set>

#include "AppTestSupport.h"
#include "desktop/Accessible.h"

namespace app::testing {
namespace {

struct GoneListener : desktop::AccessibleListener {
    std::set<desktop::Accessible*> gone;
    int events = 0;
    void OnAccessibleEvent(desktop::AccEvent, desktop::Accessible*) override { ++events; }
    void OnAccessibleGone(desktop::Accessible* object) override { gone.insert(object); }
};

class AccessibleProgramTest : public ProgramTest {
protected:
    void TearDown() override
    {
        desktop::SetAccessibleListener(nullptr);
        ProgramTest::TearDown();
    }
    // Every object under root, each child checked against its parent on the way.
    static void Walk(desktop::Accessible* root, std::vector<desktop::Accessible*>& out)
    {
        out.push_back(root);
        const std::vector<desktop::Accessible*> children = root->Children();
        for (std::size_t i = 0; i < children.size(); ++i) {
            EXPECT_EQ(children[i]->Parent(), root) << children[i]->Id();
            EXPECT_EQ(children[i]->IndexInParent(), int(i)) << children[i]->Id();
            Walk(children[i], out);
        }
    }
};

TEST_F(AccessibleProgramTest, EveryControlALearnerOperatesHasANameAndOnePlaceInTheTree)
{
    std::vector<desktop::Accessible*> objects;
    Walk(form_->AccessibleObject(), objects);
    EXPECT_EQ(objects.size(), 52u);  // the window and its 51 components
    std::set<std::string> ids;
    for (desktop::Accessible* object : objects) {
        EXPECT_TRUE(ids.insert(object->Id()).second) << object->Id();
        const desktop::AccStates states = object->States();
        // The tab list is read by its tabs.
        if (((states & (desktop::ACC_FOCUSABLE | desktop::ACC_SELECTABLE)) != 0 ||
             object->Role() == desktop::AccRole::Image) &&
            object->Role() != desktop::AccRole::PageTabList) {
            EXPECT_FALSE(object->Name().empty()) << object->Id();
        }
        // Showing only inside what shows.
        if ((states & desktop::ACC_SHOWING) != 0 && object->Parent() != nullptr) {
            EXPECT_TRUE(object->Parent()->States() & desktop::ACC_SHOWING) << object->Id();
        }
    }
    // The same objects when asked again, through the windows too.
    EXPECT_EQ(form_->Edit7->AccessibleObject(), objects[0]->Children()[0]->Children()[0]->Children()[20]);
    EXPECT_EQ(desktop::AccessibleFromWindow(form_->Edit7->WindowHandle()), form_->Edit7->AccessibleObject());
}

TEST_F(AccessibleProgramTest, ARunTellsEachChangedFieldOnceAndTheObjectsGoWithTheWindow)
{
    GoneListener listener;
    desktop::SetAccessibleListener(&listener);
    std::vector<desktop::Accessible*> objects;
    Walk(form_->AccessibleObject(), objects);
    form_->KelSpinEdit1->SetValue(1000);
    listener.events = 0;
    EXPECT_EQ(WithMessage([&] { form_->Button2->Click(); }), "dados|se ha lanzado el dado 1000");
    // 19 fields, the die's face, the message's own: far from one per roll.
    EXPECT_GT(listener.events, 19);
    EXPECT_LT(listener.events, 60);
    StopProgram();
    for (desktop::Accessible* object : objects) {
        EXPECT_EQ(listener.gone.count(object), 1u);
    }
    desktop::SetAccessibleListener(nullptr);
    StartProgram();
}

}  // namespace
}  // namespace app::testing

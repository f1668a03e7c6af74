// Check boxes and radio buttons driven as a user would: a click, Space or an arrow key gives
// the program one field-changed event, and when the program reads that event the box already
// shows its new state; a focus change alone still reports once and changes nothing.
#include <functional>

#include "tests/dialog/dialog_fixture.h"

namespace {

using namespace win;
using dlgtest::DialogFixture;

// A field-changed event as the program reads it, with the state it finds at that moment.
struct Report {
  int previous = 0;
  int current = 0;
  int state = 0;
};

class CheckClickTest : public DialogFixture {
 protected:
  static std::vector<Report> reports(const std::function<int()>& state) {
    std::vector<Report> out;
    for (const Change& c : fieldChanges(state)) out.push_back({c.event.m.value1, c.event.m.value2, c.seen});
    return out;
  }
  static int check(int id) {
    int s = -1;
    WDialogGetCheckBox(id, s);
    return s;
  }
  static int radio(int id) {
    int p = -1;
    WDialogGetRadioButton(id, p);
    return p;
  }
  // The focus on a field that is no button, with its own report read away.
  static void focusOn(int id) {
    WDialogSetField(id);
    events();
    ASSERT_EQ(focusId(), id);
  }
};

// One action, one report carrying the new state; the previous field is the one the user came
// from. Plain and three-state boxes in the template behave as automatic check boxes.
TEST_F(CheckClickTest, EachClickOrSpaceOnACheckBoxReportsOnceWithTheNewState) {
  loadAndShow(900);
  for (int box : {2005, 2006}) {
    SCOPED_TRACE(box);
    focusOn(2001);
    const int before = check(box);
    auto state = [box] { return check(box); };

    clickOn(field(box));   // from another field: focus and tick in one report
    auto got = reports(state);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].state, 1 - before);
    EXPECT_EQ(got[0].previous, 2001);
    EXPECT_EQ(got[0].current, box);

    clickOn(field(box));   // again, the box already has the focus
    got = reports(state);
    ASSERT_EQ(got.size(), 1u) << "a second tick is a change too";
    EXPECT_EQ(got[0].state, before);
    EXPECT_EQ(got[0].current, box);

    press(VK_SPACE);
    got = reports(state);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].state, 1 - before);

    WDialogPutCheckBox(box, before);   // the program's own put reports nothing
    EXPECT_TRUE(reports(state).empty());
  }
}

// Moving onto a box without changing it still reports the focus change, once, with the state
// unchanged: by Tab, and by a press released off the box (no click).
TEST_F(CheckClickTest, AFocusChangeWithoutAClickReportsOnceAndLeavesTheBox) {
  loadAndShow(900);
  auto state = [] { return check(2005); };
  focusOn(2004);
  const int before = check(2005);
  press(VK_TAB);
  auto got = reports(state);
  ASSERT_EQ(focusId(), 2005);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].state, before);
  EXPECT_EQ(got[0].current, 2005);

  focusOn(2001);
  const POINT in = centre(field(2005));
  RECT r;
  GetWindowRect(field(2005), r);
  test::mouseDown(test::Button::Left, in.x, in.y);
  test::mouseMove(in.x, r.bottom + 20);
  test::mouseUp(test::Button::Left, in.x, r.bottom + 20);
  got = reports(state);
  ASSERT_EQ(got.size(), 1u) << "the focus moved to the box";
  EXPECT_EQ(got[0].state, before);
  EXPECT_EQ(got[0].previous, 2001);
  EXPECT_EQ(got[0].current, 2005);
}

// The separation dialog's scaling: a click on Logarithmic, then an arrow back to Linear, each
// one report that finds the group already switched.
TEST_F(CheckClickTest, RadioButtonsReportTheButtonNowSet) {
  loadAndShow(110, 3);
  auto position = [] { return radio(1020); };
  focusOn(1019);
  ASSERT_EQ(radio(1020), 1);

  clickOn(field(1021));
  auto got = reports(position);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].state, 2);
  EXPECT_EQ(got[0].previous, 1019);
  EXPECT_EQ(got[0].current, 1021);

  press(VK_UP);
  got = reports(position);
  ASSERT_EQ(focusId(), 1020);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].state, 1);
  EXPECT_EQ(got[0].previous, 1021);
  EXPECT_EQ(got[0].current, 1020);

  press(VK_SPACE);   // on the button already set: still one report, nothing moves
  got = reports(position);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].state, 1);
}

// A modal instance posts nothing: the click ticks the box and the program reads the result.
TEST_F(CheckClickTest, AModalDialogPostsNoFieldChange) {
  WDialogLoad(900);
  const int before = check(2005);
  test::setIdleHook([step = 0]() mutable {
    HWND modal = dialogtable.hDialogList[0];
    if (modal == nullptr) return;
    const POINT p = centre(step++ == 0 ? GetDlgItem(modal, 2005) : GetDlgItem(modal, IDOK));
    test::click(p.x, p.y);
  });
  WDialogShow(std::nullopt, std::nullopt, std::nullopt, 1);
  test::setIdleHook({});
  EXPECT_EQ(winfodialog(1), IDOK);
  EXPECT_EQ(check(2005), 1 - before);
  for (const auto& e : dialogEvents()) EXPECT_NE(e.first, EV_FIELDCHANGED);
}

}  // namespace

#pragma once
// What the skin elements call on the dialog that holds them. A click or a choice is reported by
// the element's position in its kind's array, never through WM_COMMAND; the dialog turns the
// position into the element's name.
class CSkinElementOwner {
 public:
  virtual void OnButtonCommand(int index) = 0;
  virtual void OnOptionCommand(int index) = 0;

 protected:
  ~CSkinElementOwner() = default;
};

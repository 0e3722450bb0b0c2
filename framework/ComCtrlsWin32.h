// Common controls: rich edit, page control and tab sheets, status bar, tool bar, up-down,
// progress bar, list view and tree view, each over its system window class.
#pragma once

#include <windows.h>
// The common control declarations build on <windows.h>.
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/ControlsWin32.h"
#include "framework/ImgListWin32.h"
#include "framework/StdCtrlsWin32.h"

class TPopupMenu;
class TMenuItem;

// ---- rich edit ----------------------------------------------------------------------------

class TCustomRichEdit : public TCustomMemo {
  K_CLASS_PUBLISHED(TCustomRichEdit, TCustomMemo)
  explicit TCustomRichEdit(TComponent* owner);
  bool PlainText() const { return plainText_; }
  void SetPlainText(bool value);
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool value);
  // Puts the caret after the text and scrolls by whole lines until the last line with text
  // is the lowest one shown: no line is cut at the top.
  void ShowLastLine();
  void WndProc(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;

 private:
  void KeepTextFromBorder();
  // A rich edit ignores the colours a parent hands an edit: its background and the colour of
  // its text are set on the window itself.
  void ApplyColors();
  bool plainText_ = false;
  bool hideSelection_ = true;
};

class TRichEdit : public TCustomRichEdit {
  K_CLASS(TRichEdit, TCustomRichEdit)
  explicit TRichEdit(TComponent* owner) : TCustomRichEdit(owner) {}
};

// ---- page control -------------------------------------------------------------------------

class TPageControl;

class TTabSheet : public TWinControl {
  K_CLASS_PUBLISHED(TTabSheet, TWinControl)
  explicit TTabSheet(TComponent* owner);
  ~TTabSheet() override;
  TPageControl* PageControl() const { return pageControl_; }
  void SetPageControl(TPageControl* value);
  int PageIndex() const;
  void SetPageIndex(int value);
  int TabIndex() const;
  bool TabVisible() const { return tabVisible_; }
  void SetTabVisible(bool value);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  void WndProc(TMessage& message) override;

 private:
  friend class TPageControl;
  TPageControl* pageControl_ = nullptr;
  bool tabVisible_ = true;
  int imageIndex_ = -1;
};

using TTabChangingEvent = TMethod<void(TObject* sender, bool& allowChange)>;
enum TTabPosition { tpTop, tpBottom, tpLeft, tpRight };
enum TTabStyle { tsTabs, tsButtons, tsFlatButtons };

class TPageControl : public TWinControl {
  K_CLASS_PUBLISHED(TPageControl, TWinControl)
  explicit TPageControl(TComponent* owner);
  ~TPageControl() override;

  int PageCount() const { return static_cast<int>(pages_.size()); }
  TTabSheet* Pages(int index) const { return pages_.at(static_cast<size_t>(index)); }
  TTabSheet* ActivePage() const { return activePage_; }
  void SetActivePage(TTabSheet* value);
  int ActivePageIndex() const;
  void SetActivePageIndex(int value);
  int TabIndex();
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* value);
  TRect DisplayRect();
  TRect ClientRect() override;
  TTabPosition TabPosition() const { return tabPosition_; }
  void SetTabPosition(TTabPosition value);
  TTabStyle Style() const { return style_; }
  void SetStyle(TTabStyle value);
  bool HotTrack() const { return hotTrack_; }
  void SetHotTrack(bool value);
  // The tab control's rectangle of a shown tab (by tab index); empty without a window.
  TRect TabRect(int tabIndex);
  int RowCount();
  // The next (or previous) page whose tab shows becomes active, after the change is asked.
  void SelectNextPage(bool forward);

  KFW_EVENT(TNotifyEvent, OnChange)
  KFW_EVENT(TTabChangingEvent, OnChanging)
  void WndProc(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void Notification(TComponent* c, TOperation operation) override;
  // After the active page changed.
  virtual void UpdateActivePage() {}

 private:
  friend class TTabSheet;
  void InsertPage(TTabSheet* page);
  void RemovePage(TTabSheet* page);
  void UpdateTabs();
  std::vector<TTabSheet*> pages_;
  TTabSheet* activePage_ = nullptr;
  TCustomImageList* images_ = nullptr;
  TTabPosition tabPosition_ = tpTop;
  TTabStyle style_ = tsTabs;
  bool hotTrack_ = false;
};

// ---- status bar ---------------------------------------------------------------------------

class TStatusBar;
enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };
enum TStatusPanelStyle { psText, psOwnerDraw };

class TStatusPanel : public TCollectionItem {
  K_CLASS_PUBLISHED(TStatusPanel, TCollectionItem)
  explicit TStatusPanel(TCollection* collection = nullptr);
  const std::string& Text() const { return text_; }
  void SetText(const std::string& value);
  int Width() const { return width_; }
  void SetWidth(int value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  TStatusPanelBevel Bevel() const { return bevel_; }
  void SetBevel(TStatusPanelBevel value);
  TStatusPanelStyle Style() const { return style_; }
  void SetStyle(TStatusPanelStyle value);
  std::string GetDisplayName() const override { return text_; }

 private:
  std::string text_;
  int width_ = 50;
  TAlignment alignment_ = taLeftJustify;
  TStatusPanelBevel bevel_ = pbLowered;
  TStatusPanelStyle style_ = psText;
};

class TStatusPanels : public TCollection {
  K_CLASS(TStatusPanels, TCollection)
  explicit TStatusPanels(TStatusBar* bar);
  TStatusPanel* Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }
  TStatusPanel* Items(int index) const {
    return static_cast<TStatusPanel*>(TCollection::Items(index));
  }
  TStatusPanel* operator[](int index) const { return Items(index); }

 protected:
  void Update(TCollectionItem* item) override;

 private:
  TStatusBar* bar_;
};

using TDrawPanelEvent =
    TMethod<void(TStatusBar* statusBar, TStatusPanel* panel, const TRect& rect)>;

class TStatusBar : public TWinControl {
  K_CLASS_PUBLISHED(TStatusBar, TWinControl)
  explicit TStatusBar(TComponent* owner);
  ~TStatusBar() override;

  TStatusPanels* Panels() { return panels_.get(); }
  void SetPanels(TStatusPanels* value) { panels_->Assign(value); }
  bool SimplePanel() const { return simplePanel_; }
  void SetSimplePanel(bool value);
  const std::string& SimpleText() const { return simpleText_; }
  void SetSimpleText(const std::string& value);
  bool SizeGrip() const { return sizeGrip_; }
  void SetSizeGrip(bool value);
  TCanvas* Canvas() { return canvas_.get(); }
  // Sends the panel layout and texts to the window.
  void UpdatePanels(TStatusPanel* changed = nullptr);

  KFW_EVENT(TDrawPanelEvent, OnDrawPanel)
  void WndProc(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;

 private:
  std::unique_ptr<TStatusPanels> panels_;
  std::unique_ptr<TControlCanvas> canvas_;
  bool simplePanel_ = false;
  std::string simpleText_;
  bool sizeGrip_ = true;
};

// ---- tool bar -----------------------------------------------------------------------------

class TToolBar;
class TToolButton;
enum TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };
enum TCustomDrawStage { cdPrePaint, cdPostPaint, cdPreErase, cdPostErase };
enum TCustomDrawStateItem {
  cdsSelected,
  cdsGrayed,
  cdsDisabled,
  cdsChecked,
  cdsFocused,
  cdsDefault,
  cdsHot,
  cdsMarked,
  cdsIndeterminate
};
using TCustomDrawState = TSet<TCustomDrawStateItem>;
enum TTBCustomDrawFlag { tbNoEdges, tbHiliteHotTrack, tbNoOffset, tbNoMark, tbNoEtchedEffect };
using TTBCustomDrawFlags = TSet<TTBCustomDrawFlag>;
enum TEdgeBorder { ebLeft, ebTop, ebRight, ebBottom };
using TEdgeBorders = TSet<TEdgeBorder>;
enum TEdgeStyle { esNone, esRaised, esLowered };

// Painting of the bar (pre-paint: before the buttons) and of each button on the bar's
// Canvas; clearing defaultDraw skips the system's own drawing of that part.
using TTBAdvancedCustomDrawEvent =
    TMethod<void(TToolBar* sender, const TRect& rect, TCustomDrawStage stage, bool& defaultDraw)>;
using TTBAdvancedCustomDrawBtnEvent =
    TMethod<void(TToolBar* sender, TToolButton* button, TCustomDrawState state,
                 TCustomDrawStage stage, TTBCustomDrawFlags& flags, bool& defaultDraw)>;

class TToolButton : public TGraphicControl {
  K_CLASS_PUBLISHED(TToolButton, TGraphicControl)
  explicit TToolButton(TComponent* owner);

  TToolButtonStyle Style() const { return style_; }
  void SetStyle(TToolButtonStyle value);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  bool Down() const { return down_; }
  void SetDown(bool value);
  bool Grouped() const { return grouped_; }
  void SetGrouped(bool value) { grouped_ = value; }
  TPopupMenu* DropdownMenu() const { return dropdownMenu_; }
  void SetDropdownMenu(TPopupMenu* value);
  bool Indeterminate() const { return indeterminate_; }
  void SetIndeterminate(bool value);
  bool Marked() const { return marked_; }
  void SetMarked(bool value);
  int Index() const;
  // The command id of the button in its tool bar window.
  int Command() const { return Index() + 1; }
  TToolBar* ToolBar() const;
  void WndProc(TMessage& message) override;

 protected:
  void Notification(TComponent* c, TOperation operation) override;

 private:
  TToolButtonStyle style_ = tbsButton;
  int imageIndex_ = -1;
  bool down_ = false;
  bool grouped_ = false;
  bool indeterminate_ = false;
  bool marked_ = false;
  TPopupMenu* dropdownMenu_ = nullptr;
};

class TToolBar : public TWinControl {
  K_CLASS_PUBLISHED(TToolBar, TWinControl)
  explicit TToolBar(TComponent* owner);
  ~TToolBar() override;

  int ButtonCount() const;
  TToolButton* Buttons(int index) const;
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* value);
  int ButtonWidth() const { return buttonWidth_; }
  void SetButtonWidth(int value);
  int ButtonHeight() const { return buttonHeight_; }
  void SetButtonHeight(int value);
  bool Flat() const { return flat_; }
  void SetFlat(bool value);
  bool ShowCaptions() const { return showCaptions_; }
  void SetShowCaptions(bool value);
  bool List() const { return list_; }
  void SetList(bool value);
  TCustomImageList* DisabledImages() const { return disabledImages_; }
  void SetDisabledImages(TCustomImageList* value);
  // The pictures of a button under the mouse (its image index in this list).
  TCustomImageList* HotImages() const { return hotImages_; }
  void SetHotImages(TCustomImageList* value);
  TEdgeBorders EdgeBorders() const { return edgeBorders_; }
  void SetEdgeBorders(TEdgeBorders value);
  TEdgeStyle EdgeInner() const { return edgeInner_; }
  void SetEdgeInner(TEdgeStyle value);
  TEdgeStyle EdgeOuter() const { return edgeOuter_; }
  void SetEdgeOuter(TEdgeStyle value);
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int value);
  TCanvas* Canvas() { return canvas_.get(); }
  TRect ClientRect() override;
  KFW_EVENT(TTBAdvancedCustomDrawEvent, OnAdvancedCustomDraw)
  KFW_EVENT(TTBAdvancedCustomDrawBtnEvent, OnAdvancedCustomDrawButton)
  // Puts the buttons into the window again after they changed.
  void RebuildButtons();
  void UpdateButtonState(TToolButton* button);
  void WndProc(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void Notification(TComponent* c, TOperation operation) override;
  // The buttons are parts of the system tool bar, which presses them and sends their
  // commands: the mouse goes to the bar's window, never to the button controls.
  bool GraphicChildTakesMouse() const override { return false; }

 private:
  void UpdateButtonBounds();
  TCustomImageList* images_ = nullptr;
  int buttonWidth_ = 23;
  int buttonHeight_ = 22;
  bool flat_ = false;
  bool showCaptions_ = false;
  bool list_ = false;
  bool rebuilding_ = false;
  TCustomImageList* disabledImages_ = nullptr;
  TCustomImageList* hotImages_ = nullptr;
  TEdgeBorders edgeBorders_{ebTop};
  TEdgeStyle edgeInner_ = esRaised;
  TEdgeStyle edgeOuter_ = esLowered;
  int borderWidth_ = 0;
  std::unique_ptr<TControlCanvas> canvas_;
  LRESULT CustomDraw(NMTBCUSTOMDRAW* draw);
  int EdgeSize(TEdgeBorder side) const;
};

// ---- up-down and progress bar -------------------------------------------------------------

enum TUDOrientation { udHorizontal, udVertical };
enum TUDBtnType { btNext, btPrev };
using TUDClickEvent = TMethod<void(TObject* sender, TUDBtnType button)>;
using TUDChangingEvent = TMethod<void(TObject* sender, bool& allowChange)>;

class TUpDown : public TWinControl {
  K_CLASS_PUBLISHED(TUpDown, TWinControl)
  explicit TUpDown(TComponent* owner);

  int Min() const { return min_; }
  void SetMin(int value);
  int Max() const { return max_; }
  void SetMax(int value);
  int Position();
  void SetPosition(int value);
  int Increment() const { return increment_; }
  void SetIncrement(int value);
  TWinControl* Associate() const { return associate_; }
  void SetAssociate(TWinControl* value);
  bool Wrap() const { return wrap_; }
  void SetWrap(bool value);
  bool Thousands() const { return thousands_; }
  void SetThousands(bool value);
  bool ArrowKeys() const { return arrowKeys_; }
  void SetArrowKeys(bool value);
  TUDOrientation Orientation() const { return orientation_; }
  void SetOrientation(TUDOrientation value);

  KFW_EVENT(TUDClickEvent, OnClick)
  KFW_EVENT(TUDChangingEvent, OnChanging)
  void WndProc(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void Notification(TComponent* c, TOperation operation) override;
  void Loaded() override;

 private:
  int min_ = 0, max_ = 100, position_ = 0, increment_ = 1;
  TWinControl* associate_ = nullptr;
  bool wrap_ = false, thousands_ = true, arrowKeys_ = true;
  TUDOrientation orientation_ = udVertical;
};

enum TProgressBarOrientation { pbHorizontal, pbVertical };

class TProgressBar : public TWinControl {
  K_CLASS_PUBLISHED(TProgressBar, TWinControl)
  explicit TProgressBar(TComponent* owner);

  int Min() const { return min_; }
  void SetMin(int value);
  int Max() const { return max_; }
  void SetMax(int value);
  int Position();
  void SetPosition(int value);
  int Step() const { return step_; }
  void SetStep(int value);
  void StepIt();
  void StepBy(int delta);
  bool Smooth() const { return smooth_; }
  void SetSmooth(bool value);
  TProgressBarOrientation Orientation() const { return orientation_; }
  void SetOrientation(TProgressBarOrientation value);

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;

 private:
  int min_ = 0, max_ = 100, position_ = 0, step_ = 10;
  bool smooth_ = false;
  TProgressBarOrientation orientation_ = pbHorizontal;
};

// ---- list view ----------------------------------------------------------------------------

class TCustomListView;
class TListItems;
class TListItem;
enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };

// Painting of the whole list (pre-paint, pre-erase), of each item and of each sub-item (report
// view) on the list's Canvas; clearing defaultDraw skips the system's own drawing of that part.
using TLVAdvancedCustomDrawEvent = TMethod<void(TCustomListView* sender, const TRect& rect,
                                                TCustomDrawStage stage, bool& defaultDraw)>;
using TLVAdvancedCustomDrawItemEvent =
    TMethod<void(TCustomListView* sender, TListItem* item, TCustomDrawState state,
                 TCustomDrawStage stage, bool& defaultDraw)>;
using TLVAdvancedCustomDrawSubItemEvent =
    TMethod<void(TCustomListView* sender, TListItem* item, int subItem, TCustomDrawState state,
                 TCustomDrawStage stage, bool& defaultDraw)>;

class TListColumn : public TCollectionItem {
  K_CLASS_PUBLISHED(TListColumn, TCollectionItem)
  explicit TListColumn(TCollection* collection = nullptr) : TCollectionItem(collection) {}
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value);
  int Width() const { return width_; }
  void SetWidth(int value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  std::string GetDisplayName() const override { return caption_; }

 private:
  std::string caption_;
  int width_ = 50;
  TAlignment alignment_ = taLeftJustify;
};

class TListColumns : public TCollection {
  K_CLASS(TListColumns, TCollection)
  explicit TListColumns(TCustomListView* view);
  TListColumn* Add() { return static_cast<TListColumn*>(TCollection::Add()); }
  TListColumn* Items(int index) const {
    return static_cast<TListColumn*>(TCollection::Items(index));
  }
  TListColumn* operator[](int index) const { return Items(index); }

 protected:
  void Update(TCollectionItem* item) override;

 private:
  TCustomListView* view_;
};

class TListItem : public TPersistent {
  K_CLASS_PUBLISHED(TListItem, TPersistent)
  explicit TListItem(TListItems* owner);
  ~TListItem() override;

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value);
  TStrings* SubItems() { return subItems_.get(); }
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  void* Data() const { return data_; }
  void SetData(void* value) { data_ = value; }
  int Index() const;
  bool Selected() const;
  void SetSelected(bool value);
  TListItems* Owner() const { return owner_; }
  TCustomListView* ListView() const;
  void Update();
  void Delete();

 private:
  TListItems* owner_;
  std::string caption_;
  std::unique_ptr<TStringList> subItems_;
  int imageIndex_ = -1;
  void* data_ = nullptr;
};

class TListItems : public TPersistent {
  K_CLASS(TListItems, TPersistent)
  explicit TListItems(TCustomListView* view) : view_(view) {}
  ~TListItems() override;

  int Count() const { return static_cast<int>(items_.size()); }
  TListItem* Item(int index) const { return items_.at(static_cast<size_t>(index)).get(); }
  TListItem* operator[](int index) const { return Item(index); }
  TListItem* Add();
  TListItem* Insert(int index);
  void Delete(int index);
  void Clear();
  int IndexOf(const TListItem* item) const;
  void BeginUpdate();
  void EndUpdate();
  TCustomListView* Owner() const { return view_; }

 private:
  TCustomListView* view_;
  std::vector<std::unique_ptr<TListItem>> items_;
  int updateCount_ = 0;
};

class TCustomListView : public TWinControl {
  K_CLASS_PUBLISHED(TCustomListView, TWinControl)
  explicit TCustomListView(TComponent* owner);
  ~TCustomListView() override;

  TListItems* Items() { return items_.get(); }
  TListColumns* Columns() { return columns_.get(); }
  TViewStyle ViewStyle() const { return viewStyle_; }
  void SetViewStyle(TViewStyle value);
  TCustomImageList* SmallImages() const { return smallImages_; }
  void SetSmallImages(TCustomImageList* value);
  TCustomImageList* LargeImages() const { return largeImages_; }
  void SetLargeImages(TCustomImageList* value);
  bool ShowColumnHeaders() const { return showColumnHeaders_; }
  void SetShowColumnHeaders(bool value);
  bool RowSelect() const { return rowSelect_; }
  void SetRowSelect(bool value);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value) { readOnly_ = value; }
  bool GridLines() const { return gridLines_; }
  void SetGridLines(bool value);
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool value);
  bool FlatScrollBars() const { return flatScrollBars_; }
  void SetFlatScrollBars(bool value) { flatScrollBars_ = value; }
  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool value);
  // A click on a column header is reported (the header items act as buttons).
  bool ColumnClick() const { return columnClick_; }
  void SetColumnClick(bool value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  // The canvas custom-draw handlers paint on (the list's DC while they run).
  TCanvas* Canvas() { return canvas_.get(); }
  int ItemIndex();
  void SetItemIndex(int value);
  TListItem* Selected();
  void SetSelected(TListItem* value);
  // Tells the window about the items and columns again.
  void UpdateItems(int first, int last);
  void UpdateItemCount();
  void UpdateColumns();

  KFW_EVENT(TNotifyEvent, OnChange)
  KFW_EVENT(TLVAdvancedCustomDrawEvent, OnAdvancedCustomDraw)
  KFW_EVENT(TLVAdvancedCustomDrawItemEvent, OnAdvancedCustomDrawItem)
  KFW_EVENT(TLVAdvancedCustomDrawSubItemEvent, OnAdvancedCustomDrawSubItem)
  void WndProc(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Notification(TComponent* c, TOperation operation) override;

 private:
  friend class TListItems;
  friend class TListItem;
  void ApplyImageLists();
  // NM_CUSTOMDRAW: the handlers above on the canvas; the answer for the list.
  LRESULT CustomDraw(NMLVCUSTOMDRAW& draw);
  std::unique_ptr<TControlCanvas> canvas_;
  bool columnClick_ = true;
  std::unique_ptr<TListItems> items_;
  std::unique_ptr<TListColumns> columns_;
  TViewStyle viewStyle_ = vsIcon;
  TCustomImageList* smallImages_ = nullptr;
  TCustomImageList* largeImages_ = nullptr;
  bool showColumnHeaders_ = true;
  bool rowSelect_ = false;
  bool readOnly_ = false;
  bool gridLines_ = false;
  bool hideSelection_ = true;
  bool flatScrollBars_ = false;
  bool multiSelect_ = false;
  TBorderStyle borderStyle_ = bsSingle;
  int itemIndex_ = -1;
};

class TListView : public TCustomListView {
  K_CLASS(TListView, TCustomListView)
  explicit TListView(TComponent* owner) : TCustomListView(owner) {}
};

// ---- extended combo box -------------------------------------------------------------------

class TCustomComboBoxEx;
enum TComboBoxExStyle { csExDropDown, csExSimple, csExDropDownList };

// One item: its text, its images in the box's image list (-1 none) and its indent (in steps
// of 10 pixels).
class TComboExItem : public TCollectionItem {
  K_CLASS_PUBLISHED(TComboExItem, TCollectionItem)
  explicit TComboExItem(TCollection* collection = nullptr) : TCollectionItem(collection) {}
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  int SelectedImageIndex() const { return selectedImageIndex_; }
  void SetSelectedImageIndex(int value);
  int Indent() const { return indent_; }
  void SetIndent(int value);
  std::string GetDisplayName() const override { return caption_; }

 private:
  std::string caption_;
  int imageIndex_ = -1;
  int selectedImageIndex_ = -1;
  int indent_ = 0;
};

class TComboExItems : public TCollection {
  K_CLASS(TComboExItems, TCollection)
  explicit TComboExItems(TCustomComboBoxEx* combo);
  TComboExItem* Add() { return static_cast<TComboExItem*>(TCollection::Add()); }
  TComboExItem* AddItem(const std::string& caption, int imageIndex, int selectedImageIndex,
                        int indent);
  TComboExItem* Items(int index) const {
    return static_cast<TComboExItem*>(TCollection::Items(index));
  }
  TComboExItem* operator[](int index) const { return Items(index); }

 protected:
  void Update(TCollectionItem* item) override;

 private:
  TCustomComboBoxEx* combo_;
};

class TCustomComboBoxEx : public TWinControl {
  K_CLASS_PUBLISHED(TCustomComboBoxEx, TWinControl)
  explicit TCustomComboBoxEx(TComponent* owner);
  ~TCustomComboBoxEx() override;

  TComboExItems* ItemsEx() { return items_.get(); }
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* value);
  TComboBoxExStyle Style() const { return style_; }
  void SetStyle(TComboBoxExStyle value);
  int DropDownCount() const { return dropDownCount_; }
  void SetDropDownCount(int value) { dropDownCount_ = value; }
  int ItemIndex();
  void SetItemIndex(int value);
  bool DroppedDown();
  // The items told to the window again.
  void UpdateItems();

  KFW_EVENT(TNotifyEvent, OnChange)
  KFW_EVENT(TNotifyEvent, OnSelect)
  void WndProc(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Notification(TComponent* c, TOperation operation) override;
  // The edit's text, or the current item's caption when there is no edit: the extended box's
  // own window keeps no text.
  std::string GetText() override;

 private:
  std::unique_ptr<TComboExItems> items_;
  TCustomImageList* images_ = nullptr;
  TComboBoxExStyle style_ = csExDropDown;
  int dropDownCount_ = 8;
  int itemIndex_ = -1;
};

class TComboBoxEx : public TCustomComboBoxEx {
  K_CLASS(TComboBoxEx, TCustomComboBoxEx)
  explicit TComboBoxEx(TComponent* owner) : TCustomComboBoxEx(owner) {}
};

// ---- tree view ----------------------------------------------------------------------------

class TCustomTreeView;
class TTreeNodes;

class TTreeNode : public TPersistent {
  K_CLASS_PUBLISHED(TTreeNode, TPersistent)
  TTreeNode(TTreeNodes* owner, TTreeNode* parent);
  ~TTreeNode() override;

  const std::string& Text() const { return text_; }
  void SetText(const std::string& value);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  int SelectedIndex() const { return selectedIndex_; }
  void SetSelectedIndex(int value);
  void* Data() const { return data_; }
  void SetData(void* value) { data_ = value; }
  TTreeNode* Parent() const { return parent_; }
  int Count() const { return static_cast<int>(children_.size()); }
  TTreeNode* Item(int index) const { return children_.at(static_cast<size_t>(index)).get(); }
  int Index() const;
  int Level() const;
  bool Expanded() const;
  void SetExpanded(bool value);
  void Expand(bool recurse);
  void Collapse(bool recurse);
  bool Selected() const;
  void SetSelected(bool value);
  HTREEITEM ItemId() const { return item_; }
  TTreeNodes* Owner() const { return owner_; }
  void Delete();
  // The node's place in the tree's client area: the whole row, or only its text with
  // textOnly; empty while the node is not shown (no window, or a collapsed parent).
  TRect DisplayRect(bool textOnly) const;

 private:
  friend class TTreeNodes;
  friend class TCustomTreeView;
  void InsertIntoWindow(HWND tree, HTREEITEM after);
  TTreeNodes* owner_;
  TTreeNode* parent_;
  std::vector<std::unique_ptr<TTreeNode>> children_;
  std::string text_;
  int imageIndex_ = -1;
  int selectedIndex_ = -1;
  void* data_ = nullptr;
  bool expanded_ = false;
  HTREEITEM item_ = nullptr;
};

class TTreeNodes : public TPersistent {
  K_CLASS(TTreeNodes, TPersistent)
  explicit TTreeNodes(TCustomTreeView* view) : view_(view), root_(this, nullptr) {}
  ~TTreeNodes() override;

  // All nodes in display order (depth first).
  int Count() const;
  TTreeNode* Item(int index) const;
  TTreeNode* operator[](int index) const { return Item(index); }
  TTreeNode* GetFirstNode() const { return root_.Count() ? root_.Item(0) : nullptr; }
  // A sibling of `sibling` (at the top level when nullptr) at the end of its level.
  TTreeNode* Add(TTreeNode* sibling, const std::string& text);
  TTreeNode* AddChild(TTreeNode* parent, const std::string& text);
  void Delete(TTreeNode* node);
  void Clear();
  void BeginUpdate();
  void EndUpdate();
  TCustomTreeView* Owner() const { return view_; }
  TTreeNode* FindNode(HTREEITEM item) const;

 private:
  friend class TCustomTreeView;
  friend class TTreeNode;
  TCustomTreeView* view_;
  TTreeNode root_;
  int updateCount_ = 0;
};

using TTVChangedEvent = TMethod<void(TObject* sender, TTreeNode* node)>;
// Custom drawing of one node on the tree's Canvas; clearing defaultDraw skips the system's
// own drawing of that stage.
using TTVAdvancedCustomDrawItemEvent =
    TMethod<void(TCustomTreeView* sender, TTreeNode* node, TCustomDrawState state,
                 TCustomDrawStage stage, bool& paintImages, bool& defaultDraw)>;

class TCustomTreeView : public TWinControl {
  K_CLASS_PUBLISHED(TCustomTreeView, TWinControl)
  explicit TCustomTreeView(TComponent* owner);
  ~TCustomTreeView() override;

  TTreeNodes* Items() { return items_.get(); }
  TTreeNode* Selected();
  void SetSelected(TTreeNode* value);
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* value);
  bool ShowLines() const { return showLines_; }
  void SetShowLines(bool value);
  bool ShowRoot() const { return showRoot_; }
  void SetShowRoot(bool value);
  bool ShowButtons() const { return showButtons_; }
  void SetShowButtons(bool value);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  void FullExpand();
  void FullCollapse();
  TCanvas* Canvas() { return canvas_.get(); }

  KFW_EVENT(TTVChangedEvent, OnChange)
  KFW_EVENT(TTVAdvancedCustomDrawItemEvent, OnAdvancedCustomDrawItem)
  void WndProc(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Notification(TComponent* c, TOperation operation) override;

 private:
  LRESULT CustomDraw(NMTVCUSTOMDRAW& draw);
  // The window's background and text colours follow Color and Font.
  void ApplyColors();

  std::unique_ptr<TTreeNodes> items_;
  std::unique_ptr<TControlCanvas> canvas_;
  TCustomImageList* images_ = nullptr;
  bool showLines_ = true, showRoot_ = true, showButtons_ = true, readOnly_ = false,
       hideSelection_ = true;
  TBorderStyle borderStyle_ = bsSingle;
  TTreeNode* selected_ = nullptr;
};

class TTreeView : public TCustomTreeView {
  K_CLASS(TTreeView, TCustomTreeView)
  explicit TTreeView(TComponent* owner) : TCustomTreeView(owner) {}
};

// A small windowed program that shows one framework form with a few controls; the run
// script uses it to check that forms come up on the display.
#include "framework/ExtCtrlsWin32.h"
#include "framework/FormsWin32.h"
#include "framework/GraphicsWin32.h"
#include "framework/StdCtrlsWin32.h"

namespace {

class TDemoForm : public TForm {
  K_CLASS(TDemoForm, TForm)

 public:
  explicit TDemoForm(TComponent* owner) : TForm(owner) {
    Panel = new TPanel(this);
    Label = new TLabel(this);
    Quit = new TButton(this);
    BeginLoading();
    SetCaption("Kestrava framework form");
    SetPosition(poScreenCenter);
    SetClientSize(320, 120);
    Panel->SetParent(this);
    Panel->SetAlign(alClient);
    Panel->SetCaption("");
    Label->SetParent(Panel);
    Label->SetBounds(16, 16, 200, 13);
    Label->SetCaption("Framework form is running.");
    Quit->SetParent(Panel);
    Quit->SetBounds(16, 60, 90, 25);
    Quit->SetCaption("Beenden");
    Quit->SetOnClick(TNotifyEvent([this](TObject*) { Close(); }));
    EndLoading();
  }

  TPanel* Panel;
  TLabel* Label;
  TButton* Quit;
};

TDemoForm* DemoForm = nullptr;

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  InstallWin32Graphics();
  Application->Initialize();
  Application->CreateForm(DemoForm);
  Application->Run();
  return 0;
}

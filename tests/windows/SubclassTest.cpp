#include "hooks/CTimer.h"
#include "hooks/GSubclass.h"
#include "hooks/ISubclass.h"
#include "hooks/MTimer.h"

#include <QPointer>
#include <QSignalSpy>
#include <QStringList>
#include <QThread>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <thread>

namespace tw {
namespace {

using Log = QStringList;
constexpr auto kOther = static_cast<QEvent::Type>(QEvent::User + 1);

// A window that writes its own handling of the test's event into the log.
class Window : public QObject {
 public:
  explicit Window(Log& log) : log_(log) {}
  bool event(QEvent* e) override {
    if (e->type() == QEvent::User) {
      log_ << QStringLiteral("window");
      return true;
    }
    return QObject::event(e);
  }

 private:
  Log& log_;
};

// A client with a name, an answer and something to do when called.
class Client : public ISubclass {
 public:
  Client(Log& log, QString name, int answer = kWindowAfter) : log_(log), name_(std::move(name)), answer_(answer) {}
  int MsgResponse() override {
    asked << GSubclass::CurrentMessage();
    return answer_;
  }
  bool WindowProc(QObject* hWnd, QEvent* event, bool windowResult) override {
    seen << GSubclass::CurrentMessage();
    log_ << name_ + (windowResult ? QStringLiteral("(window said yes)") : QString());
    if (onCall) onCall(hWnd, event);
    return true;
  }
  std::function<void(QObject*, QEvent*)> onCall;
  QList<QEvent::Type> asked;
  QList<QEvent::Type> seen;

 private:
  Log& log_;
  QString name_;
  int answer_;
};

// The address an object had, for asking the registry after it is gone
// (only compared there, never followed).
struct Address {
  explicit Address(QObject* object) : raw(reinterpret_cast<quintptr>(object)) {}
  operator QObject*() const { return reinterpret_cast<QObject*>(raw); }
  volatile quintptr raw;
};

void Send(QObject* to) {
  QEvent e(QEvent::User);
  QCoreApplication::sendEvent(to, &e);
}

std::uint32_t ErrorOf(const std::function<void()>& call, QString* description = nullptr) {
  try {
    call();
  } catch (const ControlError& error) {
    EXPECT_TRUE(error.Source().endsWith(QStringLiteral(".WindowProc"))) << qPrintable(error.Source());
    if (description) *description = error.Description();
    return error.Number();
  }
  return 0;
}

TEST(Subclass, AttachingIsRefusedWithTheNumberedErrors) {
  Log log;
  Client client(log, QStringLiteral("a"));
  QString text;

  EXPECT_EQ(ErrorOf([&] { GSubclass::AttachMessage(&client, nullptr, QEvent::User); }, &text), 0x8004331Bu);
  EXPECT_EQ(text, QStringLiteral("Invalid window"));
  QPointer<QObject> gone = new QObject;
  delete gone.data();
  EXPECT_EQ(ErrorOf([&] { GSubclass::AttachMessage(&client, gone, QEvent::User); }), 0x8004331Bu);

  QThread other;
  other.start();
  auto* elsewhere = new QObject;
  elsewhere->moveToThread(&other);
  EXPECT_EQ(ErrorOf([&] { GSubclass::AttachMessage(&client, elsewhere, QEvent::User); }, &text), 0x8004331Cu);
  EXPECT_EQ(text, QStringLiteral("Can't modify external window"));
  other.quit();
  other.wait();
  delete elsewhere;

  QObject nowhere;
  nowhere.moveToThread(nullptr);  // gets no events at all
  EXPECT_EQ(ErrorOf([&] { GSubclass::AttachMessage(&client, &nowhere, QEvent::User); }, &text), 0x80043319u);
  EXPECT_EQ(text, QStringLiteral("Can't subclass window"));
  EXPECT_FALSE(GSubclass::IsSubclassed(&nowhere));

  Window window(log);
  GSubclass::AttachMessage(&client, &window, QEvent::User);
  EXPECT_EQ(ErrorOf([&] { GSubclass::AttachMessage(&client, &window, QEvent::User); }, &text), 0x8004331Au);
  EXPECT_EQ(text, QStringLiteral("Message already handled by another class"));
  EXPECT_EQ(GSubclass::AttachmentCount(&window), 1);
  Send(&window);
  EXPECT_EQ(log, (Log{QStringLiteral("a"), QStringLiteral("window")})) << "the first attachment stays, once";
  EXPECT_EQ(ErrorOf([&] { GSubclass::AttachMessage(nullptr, &window, QEvent::User); }), 5u);
}

// Two clients on one event: the later runs first; the first-attached
// client's answer places the window's own handling.
TEST(Subclass, TheFirstClientsAnswerPlacesTheWindowsHandling) {
  struct Case {
    int answer;
    Log expected;
  };
  const QList<Case> cases{
      {ISubclass::kWindowAfter, {QStringLiteral("second"), QStringLiteral("first"), QStringLiteral("window")}},
      {ISubclass::kWindowBefore, {QStringLiteral("second"), QStringLiteral("window"), QStringLiteral("first(window said yes)")}},
      {ISubclass::kInsteadOfWindow, {QStringLiteral("second"), QStringLiteral("first")}},
  };
  for (const Case& c : cases) {
    Log log;
    Window window(log);
    Client first(log, QStringLiteral("first"), c.answer);
    Client second(log, QStringLiteral("second"), ISubclass::kInsteadOfWindow);
    GSubclass::AttachMessage(&first, &window, QEvent::User);
    GSubclass::AttachMessage(&second, &window, QEvent::User);
    Send(&window);
    EXPECT_EQ(log, c.expected) << "answer " << c.answer;
    EXPECT_EQ(first.asked, QList<QEvent::Type>{QEvent::User});
    EXPECT_TRUE(second.asked.isEmpty()) << "only the first client is asked";
    EXPECT_EQ(second.seen, QList<QEvent::Type>{QEvent::User});
    EXPECT_EQ(GSubclass::CurrentMessage(), QEvent::None);
    // Other events pass untouched.
    QEvent other(kOther);
    QCoreApplication::sendEvent(&window, &other);
    EXPECT_EQ(log.size(), c.expected.size());
  }
}

TEST(Subclass, TheWindowsOwnHandlingRunsAtMostOncePerEvent) {
  Log log;
  Window window(log);
  Client first(log, QStringLiteral("first"), ISubclass::kWindowAfter);
  Client second(log, QStringLiteral("second"));
  // The later client runs the window's handling itself, twice.
  second.onCall = [](QObject* hWnd, QEvent* e) {
    EXPECT_TRUE(GSubclass::CallOldWindowProc(hWnd, e));
    EXPECT_TRUE(GSubclass::CallOldWindowProc(hWnd, e)) << "the first result is given again";
  };
  GSubclass::AttachMessage(&first, &window, QEvent::User);
  GSubclass::AttachMessage(&second, &window, QEvent::User);
  Send(&window);
  EXPECT_EQ(log, (Log{QStringLiteral("second"), QStringLiteral("window"), QStringLiteral("first")}));
  QObject plain;
  QEvent e(QEvent::User);
  EXPECT_FALSE(GSubclass::CallOldWindowProc(&plain, &e)) << "a window that is not hooked answers 0";
}

TEST(Subclass, DetachingTheLastClientRestoresNormalHandling) {
  Log log;
  Window window(log);
  Client a(log, QStringLiteral("a"), ISubclass::kInsteadOfWindow);
  Client b(log, QStringLiteral("b"), ISubclass::kInsteadOfWindow);
  GSubclass::AttachMessage(&a, &window, QEvent::User);
  GSubclass::AttachMessage(&b, &window, kOther);
  GSubclass::DetachMessage(&b, &window, QEvent::User);  // not attached there: nothing happens
  EXPECT_EQ(GSubclass::AttachmentCount(&window), 2);
  GSubclass::DetachMessage(&a, &window, QEvent::User);
  EXPECT_TRUE(GSubclass::IsSubclassed(&window));
  GSubclass::DetachMessage(&b, &window, kOther);
  EXPECT_FALSE(GSubclass::IsSubclassed(&window));
  Send(&window);
  EXPECT_EQ(log, Log{QStringLiteral("window")});
}

// Run under AddressSanitizer as well: nothing may be used after it ends.
TEST(Subclass, ClientsAndWindowsMayEndAtAnyTime) {
  Log log;
  {
    // A client that ends is detached everywhere.
    Window window(log);
    auto client = std::make_unique<Client>(log, QStringLiteral("a"));
    GSubclass::AttachMessage(client.get(), &window, QEvent::User);
    GSubclass::AttachMessage(client.get(), &window, kOther);
    client.reset();
    EXPECT_FALSE(GSubclass::IsSubclassed(&window));
    Send(&window);
  }
  {
    // A window destroyed with no client on its Destroy event is let go.
    Client client(log, QStringLiteral("a"));
    auto* window = new Window(log);
    const Address address(window);
    GSubclass::AttachMessage(&client, window, QEvent::User);
    delete window;
    EXPECT_FALSE(GSubclass::IsSubclassed(address));
    GSubclass::DetachMessage(&client, address, QEvent::User);  // harmless
  }
  {
    // Every Destroy client hears of it, newest first, whatever the oldest
    // answers; then nothing of the window stays.
    for (const int answer : {ISubclass::kWindowAfter, ISubclass::kWindowBefore, ISubclass::kInsteadOfWindow}) {
      log.clear();
      Client oldest(log, QStringLiteral("oldest"), answer);
      Client middle(log, QStringLiteral("middle"));
      Client watcher(log, QStringLiteral("watcher"));
      auto* window = new Window(log);
      const Address address(window);
      for (Client* c : {&oldest, &middle, &watcher}) GSubclass::AttachMessage(c, window, QEvent::Destroy);
      delete window;
      EXPECT_EQ(log, (Log{QStringLiteral("watcher"), QStringLiteral("middle"), QStringLiteral("oldest")}));
      EXPECT_EQ(watcher.seen, QList<QEvent::Type>{QEvent::Destroy});
      EXPECT_FALSE(GSubclass::IsSubclassed(address));
    }
  }
  {
    // During one dispatch: a client deletes the next one, and the last
    // attachment goes; the window's own handling still runs.
    log.clear();
    Window window(log);
    auto first = std::make_unique<Client>(log, QStringLiteral("first"));
    Client* firstRaw = first.get();
    Client second(log, QStringLiteral("second"));
    second.onCall = [&](QObject*, QEvent*) {
      first.reset();
      GSubclass::DetachMessage(&second, &window, QEvent::User);
    };
    GSubclass::AttachMessage(firstRaw, &window, QEvent::User);
    GSubclass::AttachMessage(&second, &window, QEvent::User);
    Send(&window);
    EXPECT_EQ(log, (Log{QStringLiteral("second"), QStringLiteral("window")}));
    EXPECT_FALSE(GSubclass::IsSubclassed(&window));
  }
  {
    // A client deletes the window it is called for.
    Client killer(log, QStringLiteral("killer"), ISubclass::kWindowAfter);
    Client after(log, QStringLiteral("after"));
    auto* window = new Window(log);
    const Address address(window);
    GSubclass::AttachMessage(&after, window, QEvent::User);
    GSubclass::AttachMessage(&killer, window, QEvent::User);
    GSubclass::AttachMessage(&after, window, QEvent::Destroy);
    killer.onCall = [](QObject* hWnd, QEvent*) { delete hWnd; };
    log.clear();
    Send(window);
    EXPECT_EQ(log, (Log{QStringLiteral("killer"), QStringLiteral("after")})) << "after hears only of the Destroy";
    EXPECT_FALSE(GSubclass::IsSubclassed(address));
  }
}

TEST(Timers, TickStopAndPulse) {
  CTimer timer;
  QSignalSpy ticks(&timer, &CTimer::ThatTime);
  timer.PulseTimer();
  EXPECT_EQ(ticks.count(), 1);
  const std::size_t before = MTimer::SlotsInUse();
  timer.setInterval(10);
  EXPECT_EQ(timer.Interval(), 10);
  EXPECT_EQ(MTimer::SlotsInUse(), before + 1);
  EXPECT_TRUE(ticks.wait(2000));
  timer.setInterval(20);  // restarted with the new interval, same one slot
  EXPECT_EQ(MTimer::SlotsInUse(), before + 1);
  timer.setInterval(-1);
  EXPECT_EQ(timer.Interval(), 0);
  EXPECT_EQ(MTimer::SlotsInUse(), before);
  ticks.clear();
  EXPECT_FALSE(ticks.wait(100)) << "a stopped timer is silent";
  {
    CTimer ending;
    ending.setInterval(1000);
    EXPECT_EQ(MTimer::SlotsInUse(), before + 1);
  }
  EXPECT_EQ(MTimer::SlotsInUse(), before) << "a timer that ends frees its slot";
}

TEST(Timers, TheTableHoldsTenAndQtsRefusalIsReported) {
  std::vector<std::unique_ptr<CTimer>> running;
  for (std::size_t i = MTimer::SlotsInUse(); i < MTimer::kSlots; ++i) {
    running.push_back(std::make_unique<CTimer>());
    running.back()->setInterval(60000);
  }
  CTimer extra;
  QString text;
  try {
    extra.setInterval(1000);
    ADD_FAILURE() << "an eleventh timer started";
  } catch (const ControlError& error) {
    EXPECT_EQ(error.Number(), 0x80043553u);
    EXPECT_EQ(error.Description(), QStringLiteral("No more than 10 timers allowed per class"));
  }
  EXPECT_EQ(extra.Interval(), 0);
  running.pop_back();
  extra.setInterval(1000);
  EXPECT_EQ(extra.Interval(), 1000) << "a freed slot is used again";
  extra.setInterval(0);

  // Qt starts no timer for an object of another thread.
  CTimer refused;
  std::uint32_t number = 0;
  std::thread([&] {
    try {
      refused.setInterval(50);
    } catch (const ControlError& error) {
      number = error.Number();
      text = error.Description();
    }
  }).join();
  EXPECT_EQ(number, 0x80043554u);
  EXPECT_EQ(text, QStringLiteral("Can't create system timer"));
  EXPECT_EQ(refused.Interval(), 0);
  EXPECT_EQ(MTimer::SlotsInUse(), MTimer::kSlots - 1);
}

}  // namespace
}  // namespace tw

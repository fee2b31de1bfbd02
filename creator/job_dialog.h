// DiscJobDialog: the disc creator's job dialog 155, "Start Converting and
// Burning". It collects the job's last settings, checks folders, free space
// and the disc in the writer, then drives the job by stage numbers: every
// source (for DVD every 15-minute clip of it) converted by the conversion
// control and multiplexed on a worker thread, then either DVD authoring and
// DVD writing or a VideoCD XML project, the image build and CD writing.
//
// Workers and library callbacks report by private messages; the dialog
// owns the stage, the buttons, the status, log, progress and clock.
//
// Sources: job_dialog.cpp (opening, settings, Start, checks, stages, log,
// timers), job_convert.cpp (conversion and multiplexing), job_vcd*.cpp (CD
// image and burning), job_dvd*.cpp (DVD authoring and writing).
#pragma once

#include <windows.h>


#include "suite/mpeg_creator_obj.h"
#include "mfc/mfc.h"
#include "standins/include/cdscribe.h"

// Private messages to the dialog.
enum {
  kJobAuthorMessage = 1824,      // DVD authoring report: wParam code, lParam percent
  kJobMuxDoneMessage = 1825,     // multiplexing done: wParam 0 success, 1 failure
  kJobEraseDoneMessage = 1826,   // the CD erase is done: start converting
  kJobBuilderStateMessage = 1827,  // image build thread: wParam 1 started, 0 ended; lParam result
  kJobDvdEraseMessage = 1834,    // DVD erase worker: wParam 0 started, 1 failed, 2 erased
  kJobDvdBurnMessage = 1835,     // DVD burn worker: wParam 0..5, lParam percent
  // Stage changes and log lines asked for off the dialog's thread (the CD
  // library's callbacks) are sent here, so timers and the log are handled
  // by the thread that owns them: wParam a JobCall*.
  kJobCallMessage = WM_APP + 0x3A1,
};

// Timers of the dialog.
enum {
  kJobClockTimer = 97,  // 1000 ms: elapsed time
  kJobConvertTimer = 98,  // 200 ms: conversion progress
  kJobMuxTimer = 99,    // 200 ms: multiplexing progress
  kJobEraseTimer = 100,  // 1500 ms: erase progress
};

// Stage numbers.
enum {
  kStageIdle = 0,  // idle after a failed image
  kStageErasing = 1,
  kStageErased = 3,
  kStageConverting = 4,
  kStageConvertFailed = 5,
  kStageConverted = 6,
  kStageMultiplexing = 10,
  kStageMuxFailed = 11,
  kStageMultiplexed = 12,
  kStageAuthoring = 13,
  kStageAuthorFailed = 14,
  kStageAuthored = 15,
  kStageBuildingImage = 16,
  kStageImageBuilt = 17,
  kStageImageFailed = 18,
  kStageBurning = 19,
  kStageBurnFailed = 20,
  kStageBurnEnded = 21,
  kStageFinalizing = 22,
};

class DiscJobDialog : public CDialog {
public:
  enum { IDD = 155 };

  explicit DiscJobDialog(CWnd* pParent = NULL);
  ~DiscJobDialog() override;

  // ---- Operations the job's pieces share ----
  // Progress to 0, the clock started when startClock is 1, then the
  // stage's actions (buttons, log, timers, temporary folder). From another
  // thread the call is carried out on the dialog's thread.
  void SetStage(int newStage, int startClock);
  // "hh:mm:ss  text" and CR LF appended to the log, last line shown. From
  // another thread the line is appended on the dialog's thread.
  void AppendLog(const char* text);
  // The free-space check of Start: TRUE when both drives have room (a box
  // says which one has not).
  BOOL CheckFreeSpace();
  // The first stage of a new job: output number -1, no abort, stage 4 with
  // the clock, the first item's conversion.
  void BeginNewJob();
  // The status line 1016.
  void SetStatus(const char* text);
  // The Start (1051) and Cancel (2) buttons.
  void SetStartButton(const char* text, BOOL enable);
  void SetCancelButton(const char* text, BOOL enable);
  // The disc folder of the DVD job begun last (output folder, label and a
  // backslash, as they were at its start): authoring writes it, every copy
  // burns it.
  CString DiscFolder() const;

  // ---- Conversion and multiplexing ----
  void ConvertNextItem();
  void SetClipRange();
  int GetConversionProfile() const;
  void StartMux();
  static DWORD WINAPI MuxThreadProc(LPVOID param);
  // The source list's rows.
  int SourceCount() const;
  CString SourcePath(int row) const;
  CString SourceDuration(int row) const;
  double SourceTotalSeconds() const;
  // T n "_vid.mpg" and the like, T the temporary folder, n the output number.
  CString OutputName(const char* suffix) const;

  // CD image and burning
  void ListCdWriters();
  void CheckCdMedium();
  int EraseCdDisc();
  int StartVcdBuild();
  static DWORD WINAPI VcdBuildThreadProc(LPVOID param);
  int BurnCdImage();
  static int32_t OUTSIDE_CALL OnFinalizeEvent(void* user);
  static int32_t OUTSIDE_CALL OnBurnDoneEvent(const char* text, void* user);
  static int32_t OUTSIDE_CALL OnProcessEvent(float percent, int32_t track, int32_t trackCount,
                                             int32_t bufferPercent, int32_t deviceBufferPercent,
                                             int32_t sectorsDone, int32_t sectorsTotal, void* user);
  static int32_t OUTSIDE_CALL OnEraseDoneEvent(int32_t result, void* user);
  afx_msg LRESULT OnBuilderText(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnBuilderState(WPARAM wParam, LPARAM lParam);
  // end of CD image and burning

  // DVD authoring and writing
  void ListDvdWriters();
  // The DVD part of Start: the inserted disc checked, then a new job, a
  // burn or the erase question.
  void CheckDvdDisc();
  void RunDvdAuthoring();
  void StartDvdErase();
  void StartDvdBurn();
  void AbortDvdBurn();
  afx_msg LRESULT OnAuthorProgress(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnDvdEraseMessage(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnDvdBurnMessage(WPARAM wParam, LPARAM lParam);
  // end of DVD authoring and writing

  // ---- Controls and their members (dialog data exchange order) ----
  CComboBox driveList;      // 1062: writer drives
  CEdit logControl;         // 1065: the job log
  CString logText;          // 1065's text
  CProgressCtrl progress;   // 1033: 0 to 100
  CComboBox tempDriveList;  // 1053: fixed drives for temporary files
  int aspect;               // 1058/1059: 0 4:3, 1 16:9 (DVD only)
  int tvType;               // 1056/1057: 0 NTSC, 1 PAL
  CString discLabel;        // 1064: at most 128 characters; names the disc folder
  CString outputFolder;     // 1052: ends with a backslash
  int letterBox;            // 1060 (DVD only)
  CMPEGCreatorObj conv;     // 1069: the conversion control

  // ---- Job state ----
  CString binPath;             // CD job: disc folder + "VideoCD.bin"
  CString cuePath;             // CD job: disc folder + "VideoCD.cue"
  CString xmlPath;             // CD job: the VideoCD XML project
  CString jobDiscFolder;       // DVD job: the disc folder made at its start
  CString jobDiscLabel;        // DVD job: the label at its start, the volume label of its copies
  CString builderMessageName;  // "msg_zrDiscImage"
  volatile int cancelBuild;    // 1: the image builder is to stop (read by its thread)
  int finished;                // 1: nothing left for Cancel but closing ("Finish")
  int imageReady;              // 1: a disc image exists; Start burns it again
  CString statusPrefix;        // the conversion control's last status text
  CWnd* listWindow;            // the source-file list window (list control 1007)
  DWORD clockStart;            // tick count when the clock started
  int abortRequested;          // 1: a late "finished" event is ignored
  int stage;                   // kStage*
  long long muxInputBytes;     // both elementary streams of the item being multiplexed
  int outputNumber;            // current output file, -1 before the first
  int itemIndex;               // row of the source list being converted
  int clipIndex;               // 0-based clip of that row
  int clipCount;               // clips of that row
  int eraseTicks;              // erase progress, one step per timer 100 tick
  DWORD uiThreadId;            // the thread that owns the dialog

protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  void OnCancel() override;

  // Told every stage once SetStage has carried it out; does nothing here.
  // It stays because a job passes several stages within one message, so
  // nothing outside the dialog can follow its road: a subclass can, as the
  // tests' recording dialog does.
  virtual void StageSet(int stage) {}

  // Start (1051) by stage: abort, or start the job or a copy.
  afx_msg void OnStart();
  afx_msg void OnSelectFolder();
  afx_msg void OnTimer(UINT_PTR nIDEvent);
  // The CD library's callbacks are taken back: they carry this dialog.
  afx_msg void OnDestroy();
  afx_msg LRESULT OnMuxDone(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnEraseDone(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnJobCall(WPARAM wParam, LPARAM lParam);

  // Conversion control events.
  void OnConversionEvent1();
  void OnConversionFinished();
  void OnConversionStatus(long code, LPCTSTR text);
  void OnConversionError(long code, LPCTSTR text);

  // Opening and Start's steps.
  void FillTempDriveList();
  void SaveDialogSettings();
  BOOL PrepareNewJob();
  void StartClock();
  void StopClock();
  void EnableSettingControls(BOOL enable);
  void DeleteTempFolder();
  char SelectedTempDrive() const;
  void UpdateElapsedTime();
  void UpdateConversionProgress();
  void UpdateMuxProgress();

  DECLARE_MESSAGE_MAP()
  DECLARE_EVENTSINK_MAP()
};

// The message identifier registered under builderMessageName (when the
// dialog opens; the build thread stores it again before its first report).
extern UINT g_builderMessage;

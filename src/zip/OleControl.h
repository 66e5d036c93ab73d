// TOleControl: the host side of an ActiveX control that is never shown. It
// creates the control by class id, becomes its client site, initialises it
// as a new object, connects a property-change sink and an event sink, and
// sets properties through IDispatch. Derived classes add the control's own
// properties and methods.
#pragma once

#include "runtime/Handles.h"

#include <windows.h>
#include <ocidl.h>
#include <ole2.h>

#include <string>

class TOleControl {
public:
  TOleControl(const TOleControl&) = delete;
  TOleControl& operator=(const TOleControl&) = delete;
  // Closes the control without saving, disconnects the sinks and releases
  // every interface.
  virtual ~TOleControl();

protected:
  // Creates the control (in-process or local server); raises EOleSysError
  // when it cannot be created.
  TOleControl(const CLSID& classId, const IID& eventsId);

  // Property puts through IDispatch::Invoke with the one named argument
  // DISPID_PROPERTYPUT. Strings go as BSTR from the ANSI code page (empty
  // as null), booleans as variant booleans.
  void SetStringProp(DISPID id, const std::string& value);
  void SetBoolProp(DISPID id, bool value);

  // The control's interface iid, asked for once and kept; raises
  // EOleSysError when the control does not have it.
  IUnknown* ControlInterface(const IID& iid);

private:
  class Site;
  class EventSink;

  void SetProperty(DISPID id, VARIANT& value);
  // Completes the set-up before the first property or method call.
  void CreateControl();
  void Connect(const IID& iid, IUnknown* sink, ComPtr<IConnectionPoint>& point, DWORD& cookie);

  IID eventsId_;
  ComPtr<Site> site_;
  ComPtr<EventSink> events_;
  ComPtr<IOleObject> oleObject_;
  ComPtr<IPersistStreamInit> persistStream_;
  ComPtr<IOleControl> oleControl_;
  ComPtr<IDispatch> dispatch_;
  ComPtr<IUnknown> controlInterface_;
  IID controlInterfaceId_ = IID_NULL;
  ComPtr<IConnectionPoint> propertyPoint_;
  ComPtr<IConnectionPoint> eventPoint_;
  DWORD propertyCookie_ = 0;
  DWORD eventCookie_ = 0;
  bool clientSiteSet_ = false;
  bool controlCreated_ = false;
};

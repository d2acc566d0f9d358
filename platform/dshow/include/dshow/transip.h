#pragma once
// A transform that changes samples where they are: output type = input type, and the input and
// output share one allocator when the neighbours agree, so samples pass through without a copy.
#include "dshow/transfrm.h"

class CTransInPlaceFilter;

class CTransInPlaceInputPin : public CTransformInputPin {
 public:
  CTransInPlaceInputPin(const TCHAR* pObjectName, CTransInPlaceFilter* pFilter, HRESULT* phr,
                        LPCWSTR pName);
  // With the output connected: the downstream pin's types and allocator.
  STDMETHODIMP EnumMediaTypes(IEnumMediaTypes** ppEnum) override;
  STDMETHODIMP GetAllocator(IMemAllocator** ppAllocator) override;
  STDMETHODIMP NotifyAllocator(IMemAllocator* pAllocator, BOOL bReadOnly) override;
  STDMETHODIMP GetAllocatorRequirements(ALLOCATOR_PROPERTIES* pProps) override;
  HRESULT CheckMediaType(const CMediaType* pmt) override;

 protected:
  CTransInPlaceFilter* m_pTIPFilter;
};

class CTransInPlaceOutputPin : public CTransformOutputPin {
 public:
  CTransInPlaceOutputPin(const TCHAR* pObjectName, CTransInPlaceFilter* pFilter, HRESULT* phr,
                         LPCWSTR pName);
  // With the input connected: the upstream pin's types.
  STDMETHODIMP EnumMediaTypes(IEnumMediaTypes** ppEnum) override;
  // Offers the input's allocator to the downstream pin first.
  HRESULT DecideAllocator(IMemInputPin* pPin, IMemAllocator** pAlloc) override;
  HRESULT CheckMediaType(const CMediaType* pmt) override;
  // Makes the allocator the downstream pin agreed to share ours.
  void SetAllocator(IMemAllocator* pAllocator);

 protected:
  CTransInPlaceFilter* m_pTIPFilter;
};

class CTransInPlaceFilter : public CTransformFilter {
 public:
  CTransInPlaceFilter(const TCHAR* pName, LPUNKNOWN pUnk, REFCLSID clsid, HRESULT* phr,
                      bool bModifiesData = true);

  CBasePin* GetPin(int n) override;
  // Output types are the input's: nothing to offer of our own.
  HRESULT GetMediaType(int, CMediaType*) override { return E_UNEXPECTED; }
  // Sizes of the input's allocator (used when the output needs an allocator of its own).
  HRESULT DecideBufferSize(IMemAllocator* pAlloc, ALLOCATOR_PROPERTIES* pProp) override;
  HRESULT CheckTransform(const CMediaType*, const CMediaType*) override { return S_OK; }

  // Transforms the sample (a copy in an output buffer when the allocators differ) and delivers it.
  HRESULT Receive(IMediaSample* pSample) override;
  virtual HRESULT Transform(IMediaSample* pSample) = 0;

  friend class CTransInPlaceInputPin;
  friend class CTransInPlaceOutputPin;

 protected:
  // An output buffer holding a copy of the source sample's data and properties; NULL on failure.
  IMediaSample* Copy(IMediaSample* pSource);
  CTransInPlaceInputPin* InputPin() const { return static_cast<CTransInPlaceInputPin*>(m_pInput); }
  CTransInPlaceOutputPin* OutputPin() const { return static_cast<CTransInPlaceOutputPin*>(m_pOutput); }
  bool UsingDifferentAllocators() const;
  bool m_bModifiesData;
};

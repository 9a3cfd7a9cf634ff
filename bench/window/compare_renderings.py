#!/usr/bin/env python3
# Usage: compare_renderings.py A.wav B.wav
# Compares two 16-bit stereo WAV renderings of the same song: aligned at the first sound,
# then duration of sound, loudness and the spread of energy over frequency bands.
import wave, array, sys, math, cmath
def rd(f):
    w=wave.open(f); return array.array('h', w.readframes(w.getnframes())), w.getframerate()
def first(a):
    return next(i for i,x in enumerate(a) if abs(x)>64)//2*2
def last(a):
    return max(i for i,x in enumerate(a) if abs(x)>64)
def bands(a, rate, start, seconds):
    # energy in octave bands from an FFT of 1-second mono windows
    N=4096; edges=[0,125,250,500,1000,2000,4000,8000,22050]; e=[0.0]*(len(edges)-1)
    for k in range(int(seconds)):
        s=start+k*rate*2
        x=[(a[s+2*i]+a[s+2*i+1])/2 for i in range(N)]
        X=fft(x)
        for j in range(1,N//2):
            f=j*rate/N; p=abs(X[j])**2
            for b in range(len(e)):
                if edges[b]<=f<edges[b+1]: e[b]+=p
    t=sum(e); return [v/t for v in e]
def fft(x):
    n=len(x)
    if n==1: return [complex(x[0])]
    ev=fft(x[0::2]); od=fft(x[1::2])
    t=[cmath.exp(-2j*math.pi*k/n)*od[k] for k in range(n//2)]
    return [ev[k]+t[k] for k in range(n//2)]+[ev[k]-t[k] for k in range(n//2)]
(a,ra),(b,rb)=rd(sys.argv[1]),rd(sys.argv[2])
fa,fb=first(a),first(b); la,lb=last(a),last(b)
print('sound lasts: %.3f s / %.3f s'%((la-fa)/2/ra,(lb-fb)/2/rb))
n=min(la-fa,lb-fb)
rms=lambda v,s,n: math.sqrt(sum(v[s+i]*v[s+i] for i in range(0,n,7))/len(range(0,n,7)))/32768
print('RMS: %.5f / %.5f'%(rms(a,fa,n),rms(b,fb,n)))
same=sum(1 for i in range(n) if a[fa+i]==b[fb+i])
print('identical samples once aligned: %.4f%%'%(100*same/n))
ba=bands(a,ra,fa,40); bb=bands(b,rb,fb,40)
print('energy by octave band (<125 Hz ... >8 kHz):')
print(' '.join('%.4f'%v for v in ba)); print(' '.join('%.4f'%v for v in bb))

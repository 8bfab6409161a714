#!/usr/bin/env python3
# An independent token counter written from the counting rules, used as an
# oracle for `orbotool tokens` on the corpus and on random texts.
import sys

KW={'function','end','for','if','then','else','elseif','while','do','in','local','return','repeat','until','goto','break','not','and','or','true','false','nil'}
FREE_SYM=set(b';)}].,:')
def close(t,i):
    d=1
    while i<len(t):
        if t[i:i+2]==b'[[': d+=1; i+=2
        elif t[i:i+2]==b']]':
            i+=2; d-=1
            if d==0: return i
        else: i+=1
    return None
def count(t):
    t=t.split(b'\0')[0]; i=0; n=0
    while i<len(t):
        while i<len(t) and t[i] in (8,9,13,32): i+=1
        if i>=len(t): break
        c=t[i]
        if t[i:i+2]==b'--':
            e=close(t,i+4) if t[i+2:i+4]==b'[[' else None
            if e is None:
                e=t.find(b'\n',i); e=len(t) if e<0 else e
            i=e; continue
        if chr(c).isalpha() and c<128 or c==95 or c>=128:
            j=i+1
            while j<len(t) and ((t[j]<128 and (chr(t[j]).isalnum())) or t[j]==95 or t[j]>=128): j+=1
            w=t[i:j].decode('latin1'); i=j
            if w not in ('local','end'): n+=1
            continue
        if 48<=c<=57:
            s=t[i+1] if i+1<len(t) else 0; k=0
            while i+k<len(t):
                ch=chr(t[i+k])
                if s==ord('b'): ok=(ch in '01') if k==0 else (ch in 'bx.01') if k==1 else (ch in '.01')
                elif s==ord('x'): ok=ch.isdigit() or ch=='.' or 'a'<=ch<='f' or (k==1 and ch in 'xb')
                else: ok=ch.isdigit() or (k==1 and ch in 'bx.') or (k>1 and ch=='.')
                if not ok: break
                k+=1
            i+=max(k,1); n+=1; continue
        if c in (34,39):
            j=i+1
            while j<len(t) and t[j]!=10:
                if t[j]==c and t[j-1]!=92: j+=1; break
                j+=1
            i=j; n+=1; continue
        if t[i:i+2]==b'[[':
            e=close(t,i+2); i=len(t) if e is None else e; n+=1; continue
        if c==10: i+=1; continue
        if t[i:i+2]==b'//':
            e=t.find(b'\n',i); i=len(t) if e<0 else e; continue
        if t[i:i+2] in (b'<=',b'<>',b'>=',b'~=',b'!=',b'==',b'+=',b'-=',b'*=',b'/=',b'%=',b'..'):
            i+=2; n+=1; continue
        if c not in FREE_SYM: n+=1
        i+=1
    return n

def main():
    import glob, os, random, subprocess, tempfile
    tool, corpus = sys.argv[1], sys.argv[2]
    texts = [open(f, 'rb').read() for f in sorted(glob.glob(os.path.join(corpus, '*.lua')))]
    rng = random.Random(5)
    pieces = [b'+=', b'!=', b'[[', b']]', b'--', b'//', b'"', b"'", b'\\', b'\n', b' ', b'x', b'then',
              b'local', b'end', b'0b1', b'0x1f', b'9b', b'1..2', b'.', b';', b')', b'(', b'\x8b', b'\xff',
              b'\t', b'\r', b'\x08', b'--[[', b'1e5', b'<>', b'..', b'#']
    for _ in range(300):
        texts.append(b''.join(rng.choice(pieces) for _ in range(rng.randint(0, 80))))
    bad = 0
    with tempfile.TemporaryDirectory() as d:
        path = os.path.join(d, 'p.lua')
        for t in texts:
            open(path, 'wb').write(t)
            out = subprocess.run([tool, 'tokens', path], capture_output=True).stdout.decode()
            want = 'tokens: %d chars: %d\n' % (count(t), len(t.split(b'\0')[0]))
            if out != want:
                bad += 1
                print('mismatch for %r: got %r want %r' % (t[:80], out, want))
    print('%d texts compared, %d mismatches' % (len(texts), bad))
    sys.exit(1 if bad else 0)

main()

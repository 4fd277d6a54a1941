"""Regenerates kor/handlers.h (the handler declarations, by module) from the
handlers the command modules define, and names each defined handler in
kor/commands.def where a record still says pending."""
import glob, os, re
ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
defined={}
order=[]
for f in sorted(glob.glob(os.path.join(ROOT, 'kor', 'm*.cc'))):
    src=open(f).read()
    names=[]
    for m in re.finditer(r'^(?:EXEC::)?Status (h_\w+)\(Context', src, re.M): names.append(m.group(1))
    for m in re.finditer(r'^KOR_FUNC\((\w+),', src, re.M): names.append('h_'+m.group(1))
    defined[f.split('/')[-1]]=names
allnames=set(n for v in defined.values() for n in v)
p=os.path.join(ROOT, 'kor', 'commands.def')
s=open(p).read()
count=0
def repl(m):
    global count
    ident=m.group(1); line=m.group(0)
    h='h_'+ident if 'h_'+ident in allnames else ('h_marker' if ident in ('If','Case','Default') else None)
    if h and ', pending, ' in line:
        count+=1
        return line.replace(', pending, ', ', '+h+', ')
    return line
s=re.sub(r'KOR_CMD\((\w+), [^\n]*', repl, s)
open(p,'w').write(s)
out=['// Declarations of every command handler named in the command table, by\n// module.  The modules (m*.cc) define them.\n#pragma once\n\n#include "kor/ExecStatus.h"\n\nnamespace KOR { class Context; }\n\nnamespace OP {\n\nusing KOR::Context;\n\n// The handler of commands not written yet: "Routine Under Construction...".\nEXEC::Status pending(Context &cx);\n']
for mod,names in defined.items():
    if not names: continue
    out.append('\n// %s\n' % mod)
    for n in names: out.append('EXEC::Status %s(Context &cx);\n' % n)
out.append('\n} // namespace OP\n')
open(os.path.join(ROOT, 'kor', 'handlers.h'), 'w').write(''.join(out))
print('replaced',count,'pending left',s.count(', pending, '))
print(re.findall(r'KOR_CMD\((\w+), [^\n]*, pending, ', s))

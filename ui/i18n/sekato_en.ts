<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>CFormTemplate</name>
    <message>
        <source>新目录:</source>
        <translation>Folder:</translation>
    </message>
    <message>
        <source>源文件目录+文件名的组合目录</source>
        <translation>Folder beside the source, named after it</translation>
    </message>
    <message>
        <source>源文件名+自动序号</source>
        <translation>Source file name + number</translation>
    </message>
    <message>
        <source>自定文件名+自动序号:</source>
        <translation>Name + number:</translation>
    </message>
    <message>
        <source>自动序号+章节名</source>
        <translation>Number + chapter name</translation>
    </message>
    <message>
        <source>按章节:</source>
        <translation>By chapter</translation>
    </message>
    <message>
        <source>按大小:</source>
        <translation>By size:</translation>
    </message>
    <message>
        <source>平均分配:</source>
        <translation>Evenly:</translation>
    </message>
    <message>
        <source>不分割行</source>
        <translation>Keep lines whole</translation>
    </message>
    <message>
        <source>去掉多余空格</source>
        <translation>Trim spaces</translation>
    </message>
    <message>
        <source>文件首添加字符:</source>
        <translation>Add at start:</translation>
    </message>
    <message>
        <source>去广告</source>
        <translation>Remove ads</translation>
    </message>
    <message>
        <source>文件尾添加字符:</source>
        <translation>Add at end:</translation>
    </message>
    <message>
        <source>分割设置</source>
        <translation>Split Settings</translation>
    </message>
    <message>
        <source>分割方式</source>
        <translation>Split Method</translation>
    </message>
    <message>
        <source>(</source>
        <translation>(</translation>
    </message>
    <message>
        <source>KB</source>
        <translation>KB</translation>
    </message>
    <message>
        <source>份</source>
        <translation>parts</translation>
    </message>
    <message>
        <source>汉字以内。</source>
        <translation>chars.</translation>
    </message>
    <message>
        <source>其它设置</source>
        <translation>Other Settings</translation>
    </message>
    <message>
        <source>分割进度:</source>
        <translation>Progress:</translation>
    </message>
    <message>
        <source>使用</source>
        <translation>Use</translation>
    </message>
    <message>
        <source>编码(&amp;E):</source>
        <translation>&amp;Encoding:</translation>
    </message>
    <message>
        <source>输出编码(&amp;U):</source>
        <translation>O&amp;utput:</translation>
    </message>
    <message>
        <source>保存目录(&amp;D):</source>
        <translation>&amp;Save to:</translation>
    </message>
    <message>
        <source>文件名(&amp;N):</source>
        <translation>File &amp;name:</translation>
    </message>
    <message>
        <source>章放入同一文件(&amp;C) )</source>
        <translation>&amp;chapters per file)</translation>
    </message>
    <message>
        <source>每个文件最大(&amp;M)</source>
        <translation>&amp;Max per file</translation>
    </message>
    <message>
        <source>平均分为(&amp;A)</source>
        <translation>Split &amp;into</translation>
    </message>
    <message>
        <source>章节标题大小(&amp;T)</source>
        <translation>Maximum heading &amp;length</translation>
    </message>
    <message>
        <source>源文件(&amp;F):</source>
        <translation>Source &amp;file:</translation>
    </message>
    <message>
        <source>,替换?的自增符(&amp;I):</source>
        <translation>, ? numbe&amp;ring:</translation>
    </message>
    <message>
        <source>简繁转换(&amp;Z):</source>
        <translation>Scri&amp;pt:</translation>
    </message>
    <message>
        <source>替换规则(&amp;G)…</source>
        <translation>Rule&amp;s…</translation>
    </message>
</context>
<context>
    <name>CSplitWorker</name>
    <message>
        <source>分割出错：</source>
        <translation>Split failed: </translation>
    </message>
    <message>
        <source>预览出错：</source>
        <translation>Preview failed: </translation>
    </message>
    <message>
        <source>
共写出 %1 个文件，保存在：
%2</source>
        <translation>
Files written: %1, saved in:
%2</translation>
    </message>
    <message>
        <source>

没有找到章节标题，全文都写进了一个文件。“预览章节”可以列出书中标题的样子和能找到它们的设置。</source>
        <translation>

No chapter headings were found, so the whole text went into one file. &quot;Preview Chapters&quot; shows what the book&apos;s headings look like and which settings find them.</translation>
    </message>
    <message>
        <source>

章节编号：</source>
        <translation>

Chapter numbers:</translation>
    </message>
    <message>
        <source>
……还有 %1 处</source>
        <translation>
…and %1 more</translation>
    </message>
    <message>
        <source>
已写出 %1 个文件，保存在：
%2</source>
        <translation>
Files written: %1, saved in:
%2</translation>
    </message>
</context>
<context>
    <name>EngineMessage</name>
    <message>
        <source>文件或目录不存在</source>
        <translation>No such file or folder</translation>
    </message>
    <message>
        <source>没有权限</source>
        <translation>Permission denied</translation>
    </message>
    <message>
        <source>文件系统是只读的</source>
        <translation>Read-only file system</translation>
    </message>
    <message>
        <source>磁盘空间不足</source>
        <translation>Not enough disk space</translation>
    </message>
    <message>
        <source>超出了磁盘配额</source>
        <translation>Disk quota exceeded</translation>
    </message>
    <message>
        <source>文件已存在</source>
        <translation>File already exists</translation>
    </message>
    <message>
        <source>路径中有一项不是目录</source>
        <translation>A part of the path is not a folder</translation>
    </message>
    <message>
        <source>。</source>
        <comment>sentence end</comment>
        <translation>. </translation>
    </message>
    <message>
        <source>文件分割完成！</source>
        <comment>0</comment>
        <translation>Split complete.</translation>
    </message>
    <message>
        <source>文件分割被终止！</source>
        <comment>1</comment>
        <translation>Split stopped.</translation>
    </message>
    <message>
        <source>按章节分割时，关健字不能为空或空格</source>
        <comment>2</comment>
        <translation>When splitting by chapter, the keywords cannot be empty or only spaces</translation>
    </message>
    <message>
        <source>平均分配的份数必须大于 0。</source>
        <comment>3</comment>
        <translation>The number of parts must be greater than 0.</translation>
    </message>
    <message>
        <source>每个文件放入的章数必须大于 0。</source>
        <comment>4</comment>
        <translation>The number of chapters per file must be greater than 0.</translation>
    </message>
    <message>
        <source>关键字最多只能有 10 个。</source>
        <comment>5</comment>
        <translation>There can be at most 10 keywords.</translation>
    </message>
    <message>
        <source>关键字中含有“?”时，必须选择替换?的自增符。</source>
        <comment>6</comment>
        <translation>When the keywords contain &quot;?&quot;, choose the numbering that replaces it.</translation>
    </message>
    <message>
        <source>每个文件的最大大小必须大于 0。</source>
        <comment>7</comment>
        <translation>The maximum file size must be greater than 0.</translation>
    </message>
    <message>
        <source>章节标题大小不能为负数。</source>
        <comment>8</comment>
        <translation>The maximum heading length cannot be negative.</translation>
    </message>
    <message>
        <source>请指定保存分割文件的新目录。</source>
        <comment>9</comment>
        <translation>Please choose a new folder to save the split files in.</translation>
    </message>
    <message>
        <source>源文件“%1”没有扩展名，无法在它旁边建立同名目录，请选择新目录。</source>
        <comment>10</comment>
        <translation>The source file &quot;%1&quot; has no extension, so a folder with the same name cannot be created beside it. Please choose a new folder.</translation>
    </message>
    <message>
        <source>分割出的文件“%1”就是源文件本身，请更换保存目录或文件名。</source>
        <comment>11</comment>
        <translation>The split file &quot;%1&quot; would be the source file itself. Please choose another output folder or file name.</translation>
    </message>
    <message>
        <source>无法打开源文件“%1”：%2</source>
        <comment>12</comment>
        <translation>Cannot open the source file &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>读取源文件“%1”时出错：%2</source>
        <comment>13</comment>
        <translation>Error reading the source file &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>无法建立目录“%1”：%2</source>
        <comment>14</comment>
        <translation>Cannot create the folder &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>无法建立文件“%1”：%2</source>
        <comment>15</comment>
        <translation>Cannot create the file &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>写入文件“%1”时出错：%2。这个文件不完整，在出错处被截断。</source>
        <comment>16</comment>
        <translation>Error writing the file &quot;%1&quot;: %2. The file is incomplete: it was cut off where the error occurred.</translation>
    </message>
    <message>
        <source>文件名“%1”不能含有“/”，也不能是“.”或“..”。</source>
        <comment>17</comment>
        <translation>The file name &quot;%1&quot; cannot contain &quot;/&quot; or be &quot;.&quot; or &quot;..&quot;.</translation>
    </message>
    <message>
        <source>源文件“%1”不是普通文件：管道、设备和目录不能分割。</source>
        <comment>18</comment>
        <translation>The source file &quot;%1&quot; is not a regular file: pipes, devices and folders cannot be split.</translation>
    </message>
    <message>
        <source>“%1”是符号链接或特殊文件，分割不会写入它。请删除它或换一个保存目录。</source>
        <comment>19</comment>
        <translation>&quot;%1&quot; is a symbolic link or a special file, so the split will not write to it. Please delete it or choose another output folder.</translation>
    </message>
    <message>
        <source>分割出的文件“%1”会覆盖本次分割已写好的文件，分割已停止。</source>
        <comment>20</comment>
        <translation>The split file &quot;%1&quot; would overwrite a file already written by this split. The split has stopped.</translation>
    </message>
    <message>
        <source>另一个分割正在向目录“%1”写入文件，请等它结束或换一个保存目录。</source>
        <comment>21</comment>
        <translation>Another split is writing files to the folder &quot;%1&quot;. Please wait for it to finish or choose another output folder.</translation>
    </message>
    <message>
        <source>源文件“%1”和“%2”会写入同一个目录“%3”，两本书的文件会混在一起。请把其中一本改名或分开分割；这一批什么也没有写。</source>
        <comment>22</comment>
        <translation>The source files &quot;%1&quot; and &quot;%2&quot; would be written to the same folder &quot;%3&quot;, mixing the files of both books. Please rename one of them or split them separately; nothing in this batch was written.</translation>
    </message>
    <message>
        <source>源文件编码：%1</source>
        <comment>23</comment>
        <translation>Source encoding: %1</translation>
    </message>
    <message>
        <source>源文件含有 NUL 字节，像是没有字节顺序标记的 UTF-16 文本，编码无法自动识别。请指定编码：-e utf-16le 或 -e utf-16be（窗口中为编码 UTF-16LE 或 UTF-16BE）。</source>
        <comment>24</comment>
        <translation>The source file contains NUL bytes and looks like UTF-16 text without a byte order mark, so its encoding cannot be detected. Please specify the encoding: -e utf-16le or -e utf-16be (in the window, the encoding UTF-16LE or UTF-16BE).</translation>
    </message>
    <message>
        <source>源文件第 %1 字节起有不属于 %2 编码的字节，已原样保留。</source>
        <comment>25</comment>
        <translation>From byte %1 on, the source file has bytes that are not valid %2; they were kept as they are.</translation>
    </message>
    <message>
        <source>源文件第 %1 字节起有不属于 %2 编码的字节，已写作 %3。</source>
        <comment>26</comment>
        <translation>From byte %1 on, the source file has bytes that are not valid %2; they were written as %3.</translation>
    </message>
    <message>
        <source>关键字中的字符“%1”无法用 %2 编码写出。</source>
        <comment>27</comment>
        <translation>The character &quot;%1&quot; in the keywords cannot be written in %2.</translation>
    </message>
    <message>
        <source>替换?的自增符中的字符“%1”无法用 %2 编码写出。</source>
        <comment>28</comment>
        <translation>The character &quot;%1&quot; in the numbering for &quot;?&quot; cannot be written in %2.</translation>
    </message>
    <message>
        <source>文件首添加字符中的字符“%1”无法用 %2 编码写出。</source>
        <comment>29</comment>
        <translation>The character &quot;%1&quot; in the text added at the start cannot be written in %2.</translation>
    </message>
    <message>
        <source>文件尾添加字符中的字符“%1”无法用 %2 编码写出。</source>
        <comment>30</comment>
        <translation>The character &quot;%1&quot; in the text added at the end cannot be written in %2.</translation>
    </message>
    <message>
        <source>源文件“%1”第 %2 字节处的字符“%3”无法用 %4 编码写出</source>
        <comment>31</comment>
        <translation>The character &quot;%3&quot; at byte %2 of the source file &quot;%1&quot; cannot be written in %4</translation>
    </message>
    <message>
        <source>文件“%1”在出错处中断，没有写完。</source>
        <comment>32</comment>
        <translation>The file &quot;%1&quot; breaks off where the error occurred and is incomplete.</translation>
    </message>
    <message>
        <source>源文件“%1”在分割时变短了：开始时有 %2 字节，只读到 %3 字节，后面的内容没有分割。</source>
        <comment>33</comment>
        <translation>The source file &quot;%1&quot; got shorter during the split: it had %2 bytes at the start, but only %3 bytes could be read. The rest was not split.</translation>
    </message>
    <message>
        <source>正则表达式“%1”有错（第 %2 个字符之后）：%3</source>
        <comment>34</comment>
        <translation>Error in the regular expression &quot;%1&quot; (after character %2): %3</translation>
    </message>
    <message>
        <source>排除用的正则表达式“%1”有错（第 %2 个字符之后）：%3</source>
        <comment>35</comment>
        <translation>Error in the exclusion regular expression &quot;%1&quot; (after character %2): %3</translation>
    </message>
    <message>
        <source>正则表达式“%1”能匹配空文本，会把每一行都当作标题，请改写。</source>
        <comment>36</comment>
        <translation>The regular expression &quot;%1&quot; can match empty text, which would make every line a heading. Please rewrite it.</translation>
    </message>
    <message>
        <source>正则表达式在有些行上回溯过多，已放弃匹配，这些行按正文处理；第一处是“%1”。</source>
        <comment>37</comment>
        <translation>The regular expression backtracked too much on some lines, so matching was given up and those lines were treated as body text; the first one is &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>自动识别没有找到章节标题：书中没有一串按顺序编号的标题行。请用关键字或正则表达式说明标题的样子。</source>
        <comment>38</comment>
        <translation>Automatic detection found no chapter headings: the book has no run of heading lines numbered in order. Please describe the headings with keywords or a regular expression.</translation>
    </message>
    <message>
        <source>目录是为另一本书做的：源文件“%1”的大小或内容与目录记下的不同。</source>
        <comment>39</comment>
        <translation>The chapter list was made for another book: the size or content of the source file &quot;%1&quot; differs from what the list recorded.</translation>
    </message>
    <message>
        <source>目录第 %1 项的行号 %2 不在源文件里（源文件共 %3 行）。</source>
        <comment>40</comment>
        <translation>Entry %1 of the chapter list has line number %2, which is not in the source file (the source file has %3 lines).</translation>
    </message>
    <message>
        <source>目录第 %1 项的行号 %2 不大于前一项的 %3：行号必须从小到大排列。</source>
        <comment>41</comment>
        <translation>Entry %1 of the chapter list has line number %2, which is not greater than the previous entry&apos;s %3: line numbers must be in ascending order.</translation>
    </message>
    <message>
        <source>选中的章节（%1）都不在目录的 %2 章之内，没有可写的内容。</source>
        <comment>42</comment>
        <translation>None of the selected chapters (%1) is among the %2 chapters of the chapter list; there is nothing to write.</translation>
    </message>
    <message>
        <source>找到 %1 个章节，选择章节最多只能在前 %2 个里选。</source>
        <comment>43</comment>
        <translation>%1 chapters were found; chapters can only be selected from the first %2.</translation>
    </message>
    <message>
        <source>“%1”这不像是文本文件（它含有大量 NUL 字节，或是图片、PDF、压缩包或程序），没有分割。如果它确实是文本，请指定它的编码。</source>
        <comment>44</comment>
        <translation>&quot;%1&quot; does not look like a text file (it contains many NUL bytes, or is an image, PDF, archive or program), so it was not split. If it really is text, please specify its encoding.</translation>
    </message>
    <message>
        <source>源文件“%1”是空的，没有可分割的内容。</source>
        <comment>45</comment>
        <translation>The source file &quot;%1&quot; is empty; there is nothing to split.</translation>
    </message>
    <message>
        <source>目录“%2”中还有 %1 个以前分割留下的文件，不是这次写出的，会和这次的文件混在一起。</source>
        <comment>46</comment>
        <translation>Files left in the folder &quot;%2&quot; by an earlier split: %1. They were not written this time and will be mixed with the new files.</translation>
    </message>
    <message>
        <source>替换规则%1“%2”有错（第 %3 个字符之后）：%4</source>
        <comment>47</comment>
        <translation>Error in replacement rule %1 &quot;%2&quot; (after character %3): %4</translation>
    </message>
    <message>
        <source>替换规则%1“%2”无法替换：%3</source>
        <comment>48</comment>
        <translation>Replacement rule %1 &quot;%2&quot; cannot replace: %3</translation>
    </message>
    <message>
        <source>无法载入简繁转换“%1”：%2</source>
        <comment>49</comment>
        <translation>Cannot load the Chinese script conversion &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>源文件“%1”第 %2 行替换或转换后的字符“%3”无法用 %4 编码写出</source>
        <comment>50</comment>
        <translation>The character &quot;%3&quot; on line %2 of the source file &quot;%1&quot;, after replacement or conversion, cannot be written in %4</translation>
    </message>
</context>
<context>
    <name>FileChoosers</name>
    <message>
        <source>文本文件(*.txt)</source>
        <translation>Text files (*.txt)</translation>
    </message>
    <message>
        <source>选择目录</source>
        <translation>Choose Folder</translation>
    </message>
</context>
<context>
    <name>FormHelpTexts</name>
    <message>
        <source>关键字:只适用于按章节分割文件，关键字可以为一个，也可以为多个，中间用空格分开。
取关键字时，要选择每一个标题行中均共有的。比如第一、二、三个标题行分别：
“第一节 回忆过去”
“第二节 新时代到来”
“第三节 结束语”
关键字就取每个标题中共有的“第”及“节”
如果标题中没有共有的，是增加的数字，如下：
一、XXX 
二、 YYY 
三、ZZZ，
那么就使用代用符“?”代替每行中的“一二三”。注意：是小写的问号，
所以上述的关健字为“?、”，这里加上一个“、”便于区分标题，万一正文的某行中有个数字，
刚好与与代替的行的相同，就会出错了，增加一个“、”属于标题中相同的，可减少出错机率。</source>
        <translation>Keywords: only for splitting by chapter. Give one keyword or several, separated by spaces.
Choose keywords that every heading line has in common. For example, if the first three headings are:
&quot;第一节 回忆过去&quot;
&quot;第二节 新时代到来&quot;
&quot;第三节 结束语&quot;
then the keywords are the &quot;第&quot; and &quot;节&quot; that every heading shares.
If the headings share nothing but a rising number, like this:
一、XXX 
二、 YYY 
三、ZZZ,
then use the placeholder &quot;?&quot; in place of the &quot;一二三&quot; on each line. Note: a half-width question mark,
so the keyword above is &quot;?、&quot;. The &quot;、&quot; helps to tell headings apart: if a line of the text
happens to hold a matching number, it would be taken by mistake; the &quot;、&quot; all headings share makes that less likely.</translation>
    </message>
    <message>
        <source>正则表达式:标题行的规则，Perl 写法，可以用阅读软件里大家分享的规则。
某行中能找到它，并且不超过章节标题大小，就是标题。\s、\d 只指半角的空白和数字。
用 (?&lt;n&gt;…) 括住章节编号，标题就必须带下一章的编号，正文里提到的章节不会被当作标题：
^第(?&lt;n&gt;[0-9一二三四五六七八九十百千万]+)章
“第二章”之后只认“第三章”（缺了一章时，后面的章节照样接上，并在预览中指出）。
规则写错时，输入框变红，鼠标停在上面可看到原因，改好之前不能开始分割。</source>
        <translation>Regular expression: the rule for heading lines, in Perl syntax. Rules shared in reading apps work too.
A line that matches and is within the heading length is a heading. \s and \d mean half-width spaces and digits only.
With the chapter number in (?&lt;n&gt;…), a heading must carry the next number, so chapters named in the text are not taken as headings:
^第(?&lt;n&gt;[0-9一二三四五六七八九十百千万]+)章
After &quot;第二章&quot; only &quot;第三章&quot; is accepted (after a missing chapter the chain picks up again, and the preview points out the gap).
If the rule has an error, the field turns red; hover over it to see why. Splitting cannot start until it is fixed.</translation>
    </message>
    <message>
        <source>    章节标题大小，用来区分某行是否为标题。
当该行超过设置的大小时，自动跳过，不做标题行处理。</source>
        <translation>    The maximum heading length tells heading lines from other lines.
A longer line is skipped and never taken as a heading.</translation>
    </message>
    <message>
        <source>不分割行，就是当该行某处是计算出来的文件分割点时，
钩选后，该行则不进行分割，放入下一文件中。</source>
        <translation>Keep lines whole: when a computed split point falls inside a line,
checking this keeps the line in one piece and moves it to the next file.</translation>
    </message>
    <message>
        <source>源文件的编码。自动检测时，选择文件后括号中显示识别出的编码，
拿不准时按 GBK 读取。分割出的文字若是乱码，请在这里指定编码。
没有字节顺序标记的 UTF-16 文件无法识别，请选择 UTF-16LE 或 UTF-16BE。</source>
        <translation>The source file&apos;s encoding. With Auto-detect, the detected encoding is shown in parentheses once a file is chosen;
if unsure, GBK is used. If the split text is garbled, specify the encoding here.
UTF-16 files without a byte order mark cannot be detected; choose UTF-16LE or UTF-16BE.</translation>
    </message>
    <message>
        <source>分割出的文件的编码。同源文件：与源文件相同，源文件有字节顺序标记时每个文件都带上。
选择其它编码时边分割边转换，文件大小按转换后的字节计算；
该编码写不出的字符（如繁体 Big5 中的简体字）会在分割前指出。</source>
        <translation>The encoding of the split files. Same as source: as the source file; if it has a byte order mark, every file gets one.
Any other encoding is converted while splitting, and file sizes count the converted bytes;
characters it cannot write (such as simplified characters in Traditional Big5) are reported before splitting.</translation>
    </message>
    <message>
        <source>章节标题的找法：
自动识别：程序先看一遍全书，找出编号连成串的标题样式（第N章、第N回、N、、Chapter N……），
正文里提到的章节、重复的编号和书前的目录都不当作标题。选择源文件后，下面一行说明识别的结果。
关键字：按输入的关键字找标题，“?”代替每行不同的数字。
正则表达式：按自己写的规则找标题，可以用阅读软件里大家分享的规则。</source>
        <translation>How headings are found:
Auto: the program reads the whole book first and finds heading styles whose numbers run in a chain (第N章, 第N回, N、, Chapter N…);
chapters named in the text, repeated numbers and a table of contents in front are not taken as headings. Once a source is chosen, the line below says what was found.
Words: headings are found by the keywords you type; &quot;?&quot; stands for the number that changes from line to line.
Regex: headings are found by a rule of your own; rules shared in reading apps work too.</translation>
    </message>
</context>
<context>
    <name>sekato::controls::CMarkupStatic</name>
    <message>
        <source>提供的超级链接或者制定的文件无法执行 </source>
        <translation>The link or file could not be opened.</translation>
    </message>
</context>
<context>
    <name>sekato::ui::CAboutDlg</name>
    <message>
        <source>关于 sekato</source>
        <translation>About sekato</translation>
    </message>
    <message>
        <source>[url=%1]岚溪软件论坛[/url]</source>
        <translation>[url=%1]Lanxi Software Forum[/url]</translation>
    </message>
    <message>
        <source>最近更新:</source>
        <translation>Last updated: </translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>sekato::ui::CChapterStrip</name>
    <message>
        <source>每章一条，高度是章节大小；点一下选中那一行</source>
        <translation>One bar per chapter, its height showing the chapter&apos;s size; click a bar to select its row</translation>
    </message>
</context>
<context>
    <name>sekato::ui::CConvertRow</name>
    <message>
        <source>简繁转换</source>
        <translation>Script conversion</translation>
    </message>
    <message>
        <source>编辑替换规则</source>
        <translation>Edit replacement rules</translation>
    </message>
    <message>
        <source>替换规则的条数</source>
        <translation>Number of replacement rules</translation>
    </message>
    <message>
        <source>按 OpenCC 的词典把全文转换成另一种字形。替换规则先用于原文，再做转换；章节标题在转换之后查找，关键字要按转换后的字形书写。</source>
        <translation>Converts the whole text to the other script with OpenCC&apos;s dictionaries. Replacement rules apply to the original text first, then the conversion; chapter headings are found after the conversion, so write the keywords in the converted script.</translation>
    </message>
    <message>
        <source>用正则表达式删去或改写每一行里的文字，例如网站加的“本章未完，请点击下一页”。</source>
        <translation>Deletes or rewrites text in every line with regular expressions, such as the “continued on the next page” lines sites add.</translation>
    </message>
    <message>
        <source>简体→繁体</source>
        <translation>Simplified → Traditional</translation>
    </message>
    <message>
        <source>繁体→简体</source>
        <translation>Traditional → Simplified</translation>
    </message>
    <message>
        <source>简体→台湾正体</source>
        <translation>Simplified → Taiwan</translation>
    </message>
    <message>
        <source>台湾正体→简体</source>
        <translation>Taiwan → Simplified</translation>
    </message>
    <message>
        <source>简体→香港繁体</source>
        <translation>Simplified → Hong Kong</translation>
    </message>
    <message>
        <source>香港繁体→简体</source>
        <translation>Hong Kong → Simplified</translation>
    </message>
    <message>
        <source>简体→台湾正体（含用语）</source>
        <translation>Simplified → Taiwan (with phrases)</translation>
    </message>
    <message>
        <source>台湾正体（含用语）→简体</source>
        <translation>Taiwan (with phrases) → Simplified</translation>
    </message>
    <message>
        <source>不转换</source>
        <translation>No conversion</translation>
    </message>
    <message>
        <source>无规则</source>
        <translation>No rules</translation>
    </message>
    <message numerus="yes">
        <source>%n 条规则</source>
        <translation>
            <numerusform>%n rule</numerusform>
            <numerusform>%n rules</numerusform>
        </translation>
    </message>
    <message>
        <source>简体字</source>
        <translation>simplified characters</translation>
    </message>
    <message>
        <source>繁体字</source>
        <translation>traditional characters</translation>
    </message>
    <message>
        <source>“%1”写出的是%2，%3 编码容纳不下，分割会在第一个写不出的字处停下。改用 UTF-8 输出，所有的字都能写出。</source>
        <translation>“%1” writes %2, which the %3 encoding cannot hold: the split would stop at the first character it cannot write. With UTF-8 output every character can be written.</translation>
    </message>
    <message>
        <source>改用 UTF-8</source>
        <translation>Use UTF-8</translation>
    </message>
    <message>
        <source>仍然继续</source>
        <translation>Continue anyway</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>sekato::ui::CFormEnabling</name>
    <message>
        <source>请输入标题的正则表达式。</source>
        <translation>Enter a regular expression for the headings.</translation>
    </message>
</context>
<context>
    <name>sekato::ui::CHeadingListModel</name>
    <message>
        <source>序号</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>章节标题</source>
        <translation>Chapter Heading</translation>
    </message>
    <message>
        <source>行号</source>
        <translation>Line</translation>
    </message>
    <message>
        <source>大小</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>文件</source>
        <translation>File</translation>
    </message>
</context>
<context>
    <name>sekato::ui::CKeptList</name>
    <message>
        <source>按编辑后的目录（%1 章） &lt;a href=&quot;rule&quot;&gt;改回按规则&lt;/a&gt;</source>
        <translation>By the edited chapter list (%1 chapters) &lt;a href=&quot;rule&quot;&gt;Back to the rule&lt;/a&gt;</translation>
    </message>
</context>
<context>
    <name>sekato::ui::CMainFrame</name>
    <message>
        <source>操作(&amp;O)</source>
        <translation>&amp;Actions</translation>
    </message>
    <message>
        <source>开始分割(&amp;S)</source>
        <translation>&amp;Start Split</translation>
    </message>
    <message>
        <source>点击后开始分割文本文件。
分割</source>
        <translation>Start splitting the text file.
Split</translation>
    </message>
    <message>
        <source>停止分割(&amp;P)</source>
        <translation>Sto&amp;p Split</translation>
    </message>
    <message>
        <source>停止分割文本文件
停止</source>
        <translation>Stop splitting the text file
Stop</translation>
    </message>
    <message>
        <source>预览章节(&amp;V)</source>
        <translation>Pre&amp;view Chapters</translation>
    </message>
    <message>
        <source>不写文件，先列出按当前设置将找到的章节
预览章节</source>
        <translation>List the chapters the current settings will find, without writing any files
Preview Chapters</translation>
    </message>
    <message>
        <source>退出(&amp;X)</source>
        <translation>&amp;Quit</translation>
    </message>
    <message>
        <source>退出应用程序；提示保存文档
退出</source>
        <translation>Quit the application; prompts to save documents
Quit</translation>
    </message>
    <message>
        <source>查看(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>工具栏(&amp;T)</source>
        <translation>&amp;Toolbar</translation>
    </message>
    <message>
        <source>显示或隐藏工具栏
显隐工具栏</source>
        <translation>Show or hide the toolbar
Toggle Toolbar</translation>
    </message>
    <message>
        <source>帮助(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>意见返馈(&amp;F)</source>
        <translation>Send &amp;Feedback</translation>
    </message>
    <message>
        <source>查看新版本(&amp;N)</source>
        <translation>Check for &amp;New Version</translation>
    </message>
    <message>
        <source>岚溪软件列表(&amp;L)</source>
        <translation>Lanxi Software &amp;List</translation>
    </message>
    <message>
        <source>关于 岚溪TXT分割器(&amp;A)</source>
        <translation>&amp;About Lanxi TXT Splitter</translation>
    </message>
    <message>
        <source>显示程序信息，版本号和版权
关于</source>
        <translation>Show program information, version number and copyright
About</translation>
    </message>
    <message>
        <source>语言(&amp;L)</source>
        <translation>&amp;Language</translation>
    </message>
    <message>
        <source>%1% — %2</source>
        <translation>%1% — %2</translation>
    </message>
    <message>
        <source>分割还在进行。要停止分割并退出吗？已写出的文件会保留，最后一个文件会完整结束。</source>
        <translation>A split is still running. Stop it and quit? Files already written are kept, and the last file will be finished properly.</translation>
    </message>
    <message>
        <source>停止并退出</source>
        <translation>Stop and Quit</translation>
    </message>
    <message>
        <source>继续分割</source>
        <translation>Continue Splitting</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>最近打开(&amp;R)</source>
        <translation>&amp;Recent Files</translation>
    </message>
    <message>
        <source>记住设置(&amp;M)</source>
        <translation>Re&amp;member Settings</translation>
    </message>
    <message>
        <source>下次启动时恢复本次的分割设置</source>
        <translation>Start next time with the split settings used now</translation>
    </message>
    <message>
        <source>恢复默认设置(&amp;D)</source>
        <translation>Restore &amp;Defaults</translation>
    </message>
    <message>
        <source>把分割设置恢复为程序的默认值</source>
        <translation>Put the split settings back to the program&apos;s defaults</translation>
    </message>
    <message>
        <source>（无）</source>
        <translation>(none)</translation>
    </message>
</context>
<context>
    <name>sekato::ui::CPreviewDlg</name>
    <message>
        <source>预览章节</source>
        <translation>Preview Chapters</translation>
    </message>
    <message>
        <source>插入标题…</source>
        <translation>Insert Heading…</translation>
    </message>
    <message>
        <source>全选</source>
        <translation>Check</translation>
    </message>
    <message>
        <source>全不选</source>
        <translation>Uncheck</translation>
    </message>
    <message>
        <source>反选</source>
        <translation>Invert</translation>
    </message>
    <message>
        <source>导出目录…</source>
        <translation>Export Chapter List…</translation>
    </message>
    <message>
        <source>导出目录</source>
        <translation>Export Chapter List</translation>
    </message>
    <message>
        <source>目录 (*.json)</source>
        <translation>Chapter lists (*.json)</translation>
    </message>
    <message>
        <source>导入目录…</source>
        <translation>Import Chapter List…</translation>
    </message>
    <message>
        <source>导入目录</source>
        <translation>Import Chapter List</translation>
    </message>
    <message>
        <source>目录 (*.json *.txt)</source>
        <translation>Chapter lists (*.json *.txt)</translation>
    </message>
    <message>
        <source>按此目录分割</source>
        <translation>Split by This List</translation>
    </message>
    <message>
        <source>只导出选中章节</source>
        <translation>Export Selected Chapters</translation>
    </message>
    <message>
        <source>合并为一个文件</source>
        <translation>Join into One File</translation>
    </message>
    <message>
        <source>应用此设置</source>
        <translation>Apply This Setting</translation>
    </message>
    <message>
        <source>%1 章，将写出 %2 个文件</source>
        <translation>Chapters: %1, files to write: %2</translation>
    </message>
    <message>
        <source>插入标题</source>
        <translation>Insert Heading</translation>
    </message>
    <message>
        <source>作为章节标题的行号：</source>
        <translation>Line number of the chapter heading:</translation>
    </message>
    <message>
        <source>请先在表中选中要导出的章节。</source>
        <translation>Please select the chapters to export in the table first.</translation>
    </message>
    <message>
        <source>无法写出目录文件“%1”：%2</source>
        <translation>Cannot write the chapter list file &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>无法读取目录文件“%1”：%2</source>
        <translation>Cannot read the chapter list file &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>目录文件“%1”读不懂：%2</source>
        <translation>Cannot understand the chapter list file &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>目录第 %1 项的行号不大于前一项：行号必须从小到大排列。</source>
        <translation>Entry %1 of the chapter list has a line number not greater than the previous entry&apos;s: line numbers must be in ascending order.</translation>
    </message>
    <message>
        <source>保留编辑后的目录，供这个文件下次开始分割时使用？</source>
        <translation>Keep the edited chapter list for the next time this file is split?</translation>
    </message>
    <message>
        <source>使用</source>
        <translation>Use</translation>
    </message>
    <message>
        <source>自动识别：%1，%2 %3</source>
        <translation>Auto-detect: %1, %2 %3</translation>
    </message>
    <message>
        <source>其次：%1（%2 行），按正则表达式</source>
        <translation>Next: %1 (%2 lines), as a regular expression</translation>
    </message>
    <message>
        <source>目录文件“%1”是为另一本书做的：它记下的源文件大小是 %2 字节，这个源文件是 %3 字节。</source>
        <translation>The chapter list file &quot;%1&quot; was made for another book: it records a source size of %2 bytes, but this source file has %3 bytes.</translation>
    </message>
    <message>
        <source>目录第 1 项的行号 %1 不是正整数。</source>
        <translation>Line number %1 of entry 1 of the chapter list is not a positive whole number.</translation>
    </message>
</context>
<context>
    <name>sekato::ui::CQueueDock</name>
    <message>
        <source>待分割的书</source>
        <translation>Books to Split</translation>
    </message>
</context>
<context>
    <name>sekato::ui::CQueueList</name>
    <message>
        <source>待分割的书</source>
        <translation>Books to split</translation>
    </message>
    <message>
        <source>书</source>
        <translation>Book</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>State</translation>
    </message>
    <message>
        <source>等待</source>
        <translation>Waiting</translation>
    </message>
    <message>
        <source>%1%</source>
        <translation>%1%</translation>
    </message>
    <message numerus="yes">
        <source>完成 %n 个文件</source>
        <translation>
            <numerusform>Done, %n file</numerusform>
            <numerusform>Done, %n files</numerusform>
        </translation>
    </message>
    <message>
        <source>已停止</source>
        <translation>Stopped</translation>
    </message>
    <message>
        <source>失败：%1</source>
        <translation>Failed: %1</translation>
    </message>
</context>
<context>
    <name>sekato::ui::CReplaceRulesDlg</name>
    <message>
        <source>规则文件(*.txt);;所有文件(*)</source>
        <translation>Rules files (*.txt);;All files (*)</translation>
    </message>
    <message>
        <source>导入替换规则</source>
        <translation>Import replacement rules</translation>
    </message>
    <message>
        <source>导出替换规则</source>
        <translation>Export replacement rules</translation>
    </message>
    <message>
        <source>替换规则</source>
        <translation>Replacement rules</translation>
    </message>
    <message>
        <source>每条规则用正则表达式（PCRE2）找出文字，换成“替换为”的内容，$1 或 ${名字} 代表分组；“替换为”留空即删去找到的文字。规则按顺序，在简繁转换之前用于每一行。</source>
        <translation>Each rule finds text with a regular expression (PCRE2) and puts “Replace with” in its place, where $1 or ${name} stand for groups; an empty “Replace with” deletes what was found. The rules apply to every line in order, before the script conversion.</translation>
    </message>
    <message>
        <source>查找（正则表达式）</source>
        <translation>Find (regular expression)</translation>
    </message>
    <message>
        <source>替换为</source>
        <translation>Replace with</translation>
    </message>
    <message>
        <source>次数</source>
        <translation>Matches</translation>
    </message>
    <message>
        <source>添加(&amp;A)</source>
        <translation>&amp;Add</translation>
    </message>
    <message>
        <source>删除(&amp;D)</source>
        <translation>&amp;Delete</translation>
    </message>
    <message>
        <source>上移(&amp;U)</source>
        <translation>Move &amp;up</translation>
    </message>
    <message>
        <source>下移(&amp;N)</source>
        <translation>Move dow&amp;n</translation>
    </message>
    <message>
        <source>导入(&amp;I)…</source>
        <translation>&amp;Import…</translation>
    </message>
    <message>
        <source>导出(&amp;E)…</source>
        <translation>&amp;Export…</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>…</source>
        <translation>…</translation>
    </message>
    <message>
        <source>无法读取规则文件“%1”：%2</source>
        <translation>Cannot read the rules file “%1”: %2</translation>
    </message>
    <message>
        <source>规则文件“%1”不是 UTF-8 编码的文字。</source>
        <translation>The rules file “%1” is not UTF-8 text.</translation>
    </message>
    <message>
        <source>无法写出规则文件“%1”：%2</source>
        <translation>Cannot write the rules file “%1”: %2</translation>
    </message>
</context>
<context>
    <name>sekato::ui::CSekatoApp</name>
    <message>
        <source>分割或预览结束后才能切换语言。</source>
        <translation>The language can be changed only after the split or preview has finished.</translation>
    </message>
    <message>
        <source>分割或预览结束后才能恢复默认设置。</source>
        <translation>The defaults can be restored once the split or preview has ended.</translation>
    </message>
    <message>
        <source>找不到这个文件，已从最近打开的列表中去掉：
%1</source>
        <translation>This file cannot be found; it has been taken off the recent files:
%1</translation>
    </message>
</context>
<context>
    <name>sekato::ui::CSekatoView</name>
    <message>
        <source>源文件</source>
        <translation>Source file</translation>
    </message>
    <message>
        <source>选择源文件</source>
        <translation>Choose source file</translation>
    </message>
    <message>
        <source>新目录</source>
        <translation>New folder</translation>
    </message>
    <message>
        <source>选择保存目录</source>
        <translation>Choose output folder</translation>
    </message>
    <message>
        <source>自定义文件名</source>
        <translation>Custom file name</translation>
    </message>
    <message>
        <source>章节标题的找法</source>
        <translation>How to find chapter headings</translation>
    </message>
    <message>
        <source>关键字</source>
        <translation>Words</translation>
    </message>
    <message>
        <source>正则表达式</source>
        <translation>Regex</translation>
    </message>
    <message>
        <source>替换?的自增符</source>
        <translation>Numbering for ?</translation>
    </message>
    <message>
        <source>章节标题大小</source>
        <translation>Maximum heading length</translation>
    </message>
    <message>
        <source>每个文件放入的章数</source>
        <translation>Chapters per file</translation>
    </message>
    <message>
        <source>每个文件最大（KB）</source>
        <translation>Maximum file size (KB)</translation>
    </message>
    <message>
        <source>平均分配的份数</source>
        <translation>Number of parts</translation>
    </message>
    <message>
        <source>文件首添加字符</source>
        <translation>Text to add at the start of each file</translation>
    </message>
    <message>
        <source>文件尾添加字符</source>
        <translation>Text to add at the end of each file</translation>
    </message>
    <message>
        <source>源文件编码</source>
        <translation>Source encoding</translation>
    </message>
    <message>
        <source>输出编码</source>
        <translation>Output encoding</translation>
    </message>
    <message>
        <source>分割进度</source>
        <translation>Split progress</translation>
    </message>
    <message>
        <source>１,２，３...</source>
        <translation>１,２，３...</translation>
    </message>
    <message>
        <source>一,二,三...</source>
        <translation>一,二,三...</translation>
    </message>
    <message>
        <source>自动检测</source>
        <translation>Auto-detect</translation>
    </message>
    <message>
        <source>同源文件</source>
        <translation>As source</translation>
    </message>
    <message>
        <source>还未选择待分割的文件！</source>
        <translation>No file to split has been chosen yet.</translation>
    </message>
    <message>
        <source>源文件“%1”是空的，分割只会建立一个空目录。</source>
        <translation>The source file &quot;%1&quot; is empty; splitting it will only create an empty folder.</translation>
    </message>
    <message>
        <source>仍然分割</source>
        <translation>Split Anyway</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>……</source>
        <translation>…</translation>
    </message>
    <message numerus="yes">
        <source>目录“%1”中已有 %n 个以前分割留下的文件。这次分割不一定会覆盖它们，新旧文件会混在一起：
%2</source>
        <translation>
            <numerusform>The folder &quot;%1&quot; already contains %n file left by an earlier split. This split may not overwrite it, so old and new files would be mixed:
%2</numerusform>
            <numerusform>The folder &quot;%1&quot; already contains %n files left by an earlier split. This split may not overwrite them, so old and new files would be mixed:
%2</numerusform>
        </translation>
    </message>
    <message>
        <source>清空旧文件后继续</source>
        <translation>Delete Old Files and Continue</translation>
    </message>
    <message>
        <source>换一个文件夹</source>
        <translation>Choose Another Folder</translation>
    </message>
    <message>
        <source>无法删除旧文件：%1</source>
        <translation>Cannot delete the old files: %1</translation>
    </message>
    <message numerus="yes">
        <source>%1：%n 个旧文件</source>
        <translation>
            <numerusform>%1: %n old file</numerusform>
            <numerusform>%1: %n old files</numerusform>
        </translation>
    </message>
    <message>
        <source>这些目录中已有以前分割留下的文件，新旧文件会混在一起：
%1</source>
        <translation>These folders already hold files from an earlier split; old and new files would be mixed:
%1</translation>
    </message>
    <message>
        <source>自动识别的结果</source>
        <translation>What auto-detect found</translation>
    </message>
    <message>
        <source>使用自动识别的标题</source>
        <translation>Use the detected headings</translation>
    </message>
    <message>
        <source>自动识别</source>
        <translation>Auto</translation>
    </message>
    <message>
        <source>自动识别没有找到成串编号的标题，无法按章节分割。</source>
        <translation>Auto-detect found no run of numbered headings, so the book cannot be split by chapter.</translation>
    </message>
    <message>
        <source>预览章节</source>
        <translation>Preview Chapters</translation>
    </message>
    <message>
        <source>按现在的设置找不到章节标题，全文会写进一个文件。</source>
        <translation>The current settings find no chapter headings; the whole text would go into one file.</translation>
    </message>
    <message>
        <source>%1：选择“自动识别”可以按它分割</source>
        <translation>%1: choose &quot;Auto&quot; to split by it</translation>
    </message>
    <message>
        <source>仍然写出</source>
        <translation>Write Anyway</translation>
    </message>
    <message>
        <source>按现在的设置，这些书找不到章节标题，每本都会整本写进一个文件：
%1</source>
        <translation>With these settings no chapter heading is found in these books; each would be written whole into one file:
%1</translation>
    </message>
    <message>
        <source>跳过这些书</source>
        <translation>Skip These Books</translation>
    </message>
</context>
<context>
    <name>sekato::ui::CSourceFindings</name>
    <message>
        <source>自动检测</source>
        <translation>Auto-detect</translation>
    </message>
    <message>
        <source>UTF-16？</source>
        <translation>UTF-16?</translation>
    </message>
    <message>
        <source>（%1）</source>
        <translation> (%1)</translation>
    </message>
    <message>
        <source>自动识别：正在查看源文件……</source>
        <translation>Auto-detect: reading the source file…</translation>
    </message>
    <message>
        <source>自动识别：%1，%2 %3（标题最长 %4 字）</source>
        <translation>Auto-detect: %1, %2 %3 (headings up to %4 chars)</translation>
    </message>
    <message>
        <source>，%1 %2</source>
        <translation>, %1 %2</translation>
    </message>
    <message>
        <source>自动识别：没有找到成串编号的标题</source>
        <translation>Auto-detect: no run of numbered headings found</translation>
    </message>
</context>
<context>
    <name>sekato::ui::CSourceLinesDlg</name>
    <message>
        <source>第 %1 行起</source>
        <translation>From Line %1</translation>
    </message>
    <message>
        <source>把光标所在行设为标题</source>
        <translation>Make the Cursor Line a Heading</translation>
    </message>
</context>
<context>
    <name>sekato::ui::CSplitRunControl</name>
    <message>
        <source>无法启动分割线程，文件没有分割！</source>
        <translation>Cannot start the split thread; the file was not split.</translation>
    </message>
    <message>
        <source>无法启动预览线程！</source>
        <translation>Cannot start the preview thread.</translation>
    </message>
    <message>
        <source>打开文件夹</source>
        <translation>Open Folder</translation>
    </message>
    <message>
        <source>预览章节</source>
        <translation>Preview Chapters</translation>
    </message>
    <message>
        <source>%1 本书中有 %2 本分割完成。</source>
        <translation>%2 of %1 books were split.</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
</context>
</TS>

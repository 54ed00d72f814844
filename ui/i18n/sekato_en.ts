<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>CFormTemplate</name>
    <message>
        <source>新目录:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>源文件目录+文件名的组合目录</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>源文件名+自动序号</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>自定文件名+自动序号:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>自动序号+章节名</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>编码:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>输出编码:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>按章节:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>按大小:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>平均分配:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>不分割行</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>去掉多余空格</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件首添加字符:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>去广告</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件尾添加字符:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>分割设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>分割方式</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存目录:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件名:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>章放入同一文件 )</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>每个文件最大</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>KB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>平均分为</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>份</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>章节标题大小</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>汉字以内。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>源文件:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>其它设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>分割进度:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>,替换?的自增符:</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CSplitWorker</name>
    <message>
        <source>分割出错：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>预览出错：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>
共写出 %1 个文件，保存在：
%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>

没有找到章节标题，全文都写进了一个文件。“预览章节”可以列出书中标题的样子和能找到它们的设置。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>EngineMessage</name>
    <message>
        <source>文件或目录不存在</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>没有权限</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件系统是只读的</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>磁盘空间不足</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>超出了磁盘配额</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件已存在</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>路径中有一项不是目录</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>。</source>
        <comment>sentence end</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件分割完成！</source>
        <comment>0</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件分割被终止！</source>
        <comment>1</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>按章节分割时，关健字不能为空或空格</source>
        <comment>2</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>平均分配的份数必须大于 0。</source>
        <comment>3</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>每个文件放入的章数必须大于 0。</source>
        <comment>4</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>关键字最多只能有 10 个。</source>
        <comment>5</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>关键字中含有“?”时，必须选择替换?的自增符。</source>
        <comment>6</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>每个文件的最大大小必须大于 0。</source>
        <comment>7</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>章节标题大小不能为负数。</source>
        <comment>8</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请指定保存分割文件的新目录。</source>
        <comment>9</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>源文件“%1”没有扩展名，无法在它旁边建立同名目录，请选择新目录。</source>
        <comment>10</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>分割出的文件“%1”就是源文件本身，请更换保存目录或文件名。</source>
        <comment>11</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法打开源文件“%1”：%2</source>
        <comment>12</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>读取源文件“%1”时出错：%2</source>
        <comment>13</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法建立目录“%1”：%2</source>
        <comment>14</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法建立文件“%1”：%2</source>
        <comment>15</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>写入文件“%1”时出错：%2。这个文件不完整，在出错处被截断。</source>
        <comment>16</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件名“%1”不能含有“/”，也不能是“.”或“..”。</source>
        <comment>17</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>源文件“%1”不是普通文件：管道、设备和目录不能分割。</source>
        <comment>18</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1”是符号链接或特殊文件，分割不会写入它。请删除它或换一个保存目录。</source>
        <comment>19</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>分割出的文件“%1”会覆盖本次分割已写好的文件，分割已停止。</source>
        <comment>20</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>另一个分割正在向目录“%1”写入文件，请等它结束或换一个保存目录。</source>
        <comment>21</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>源文件“%1”和“%2”会写入同一个目录“%3”，两本书的文件会混在一起。请把其中一本改名或分开分割；这一批什么也没有写。</source>
        <comment>22</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>源文件编码：%1</source>
        <comment>23</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>源文件含有 NUL 字节，像是没有字节顺序标记的 UTF-16 文本，编码无法自动识别。请指定编码：-e utf-16le 或 -e utf-16be（窗口中为编码 UTF-16LE 或 UTF-16BE）。</source>
        <comment>24</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>源文件第 %1 字节起有不属于 %2 编码的字节，已原样保留。</source>
        <comment>25</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>源文件第 %1 字节起有不属于 %2 编码的字节，已写作 %3。</source>
        <comment>26</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>关键字中的字符“%1”无法用 %2 编码写出。</source>
        <comment>27</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>替换?的自增符中的字符“%1”无法用 %2 编码写出。</source>
        <comment>28</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件首添加字符中的字符“%1”无法用 %2 编码写出。</source>
        <comment>29</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件尾添加字符中的字符“%1”无法用 %2 编码写出。</source>
        <comment>30</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>源文件“%1”第 %2 字节处的字符“%3”无法用 %4 编码写出</source>
        <comment>31</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件“%1”在出错处中断，没有写完。</source>
        <comment>32</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>源文件“%1”在分割时变短了：开始时有 %2 字节，只读到 %3 字节，后面的内容没有分割。</source>
        <comment>33</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>正则表达式“%1”有错（第 %2 个字符之后）：%3</source>
        <comment>34</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>排除用的正则表达式“%1”有错（第 %2 个字符之后）：%3</source>
        <comment>35</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>正则表达式“%1”能匹配空文本，会把每一行都当作标题，请改写。</source>
        <comment>36</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>正则表达式在有些行上回溯过多，已放弃匹配，这些行按正文处理；第一处是“%1”。</source>
        <comment>37</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>自动识别没有找到章节标题：书中没有一串按顺序编号的标题行。请用关键字或正则表达式说明标题的样子。</source>
        <comment>38</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>目录是为另一本书做的：源文件“%1”的大小或内容与目录记下的不同。</source>
        <comment>39</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>目录第 %1 项的行号 %2 不在源文件里（源文件共 %3 行）。</source>
        <comment>40</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>目录第 %1 项的行号 %2 不大于前一项的 %3：行号必须从小到大排列。</source>
        <comment>41</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>选中的章节（%1）都不在目录的 %2 章之内，没有可写的内容。</source>
        <comment>42</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>找到 %1 个章节，选择章节最多只能在前 %2 个里选。</source>
        <comment>43</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1”这不像是文本文件（它含有大量 NUL 字节，或是图片、PDF、压缩包或程序），没有分割。如果它确实是文本，请指定它的编码。</source>
        <comment>44</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>源文件“%1”是空的，没有可分割的内容。</source>
        <comment>45</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>目录“%2”中还有 %1 个以前分割留下的文件，不是这次写出的，会和这次的文件混在一起。</source>
        <comment>46</comment>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FileChoosers</name>
    <message>
        <source>文本文件(*.txt)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>选择目录</source>
        <translation type="unfinished"></translation>
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
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>正则表达式:标题行的规则，Perl 写法，可以用阅读软件里大家分享的规则。
某行中能找到它，并且不超过章节标题大小，就是标题。\s、\d 只指半角的空白和数字。
用 (?&lt;n&gt;…) 括住章节编号，标题就必须带下一章的编号，正文里提到的章节不会被当作标题：
^第(?&lt;n&gt;[0-9一二三四五六七八九十百千万]+)章
“第二章”之后只认“第三章”（缺了一章时，后面的章节照样接上，并在预览中指出）。
规则写错时，输入框变红，鼠标停在上面可看到原因，改好之前不能开始分割。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>    章节标题大小，用来区分某行是否为标题。
当该行超过设置的大小时，自动跳过，不做标题行处理。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>不分割行，就是当该行某处是计算出来的文件分割点时，
钩选后，该行则不进行分割，放入下一文件中。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>源文件的编码。自动检测时，选择文件后括号中显示识别出的编码，
拿不准时按 GBK 读取。分割出的文字若是乱码，请在这里指定编码。
没有字节顺序标记的 UTF-16 文件无法识别，请选择 UTF-16LE 或 UTF-16BE。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>分割出的文件的编码。同源文件：与源文件相同，源文件有字节顺序标记时每个文件都带上。
选择其它编码时边分割边转换，文件大小按转换后的字节计算；
该编码写不出的字符（如繁体 Big5 中的简体字）会在分割前指出。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>sekato::controls::CMarkupStatic</name>
    <message>
        <source>提供的超级链接或者制定的文件无法执行 </source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>sekato::ui::CAboutDlg</name>
    <message>
        <source>关于 sekato</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[url=%1]岚溪软件论坛[/url]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>最近更新:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>确定</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>sekato::ui::CChapterStrip</name>
    <message>
        <source>每章一条，高度是章节大小；点一下选中那一行</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>sekato::ui::CHeadingListModel</name>
    <message>
        <source>序号</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>章节标题</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>行号</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>大小</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>sekato::ui::CMainFrame</name>
    <message>
        <source>操作(&amp;O)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>开始分割(&amp;S)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>点击后开始分割文本文件。
分割</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>停止分割(&amp;P)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>停止分割文本文件
停止</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>预览章节(&amp;V)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>不写文件，先列出按当前设置将找到的章节
预览章节</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>退出(&amp;X)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>退出应用程序；提示保存文档
退出</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>查看(&amp;V)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>工具栏(&amp;T)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>显示或隐藏工具栏
显隐工具栏</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>帮助(&amp;H)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>意见返馈(&amp;F)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>查看新版本(&amp;N)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>岚溪软件列表(&amp;L)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>关于 岚溪TXT分割器(&amp;A)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>显示程序信息，版本号和版权
关于</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>语言(&amp;L)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1% — %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>分割还在进行。要停止分割并退出吗？已写出的文件会保留，最后一个文件会完整结束。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>停止并退出</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>继续分割</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>sekato::ui::CPreviewDlg</name>
    <message>
        <source>预览章节</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>插入标题…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>全选</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>全不选</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>反选</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>导出目录…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>导出目录</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>目录 (*.json)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>导入目录…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>导入目录</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>目录 (*.json *.txt)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>按此目录分割</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>只导出选中章节</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>合并为一个文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>应用此设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 章，将写出 %2 个文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>插入标题</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>作为章节标题的行号：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>第 %1 行起</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>把光标所在行设为标题</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请先在表中选中要导出的章节。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法写出目录文件“%1”：%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法读取目录文件“%1”：%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>目录文件“%1”读不懂：%2（第 %3 个字节处）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>目录文件“%1”读不懂：%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>目录第 %1 项的行号不大于前一项：行号必须从小到大排列。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保留编辑后的目录，供这个文件下次开始分割时使用？</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>sekato::ui::CSekatoApp</name>
    <message>
        <source>分割或预览结束后才能切换语言。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>sekato::ui::CSekatoView</name>
    <message>
        <source>源文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>选择源文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>新目录</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>选择保存目录</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>自定义文件名</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>章节标题的找法</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>关键字</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>正则表达式</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>替换?的自增符</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>章节标题大小</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>每个文件放入的章数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>每个文件最大（KB）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>平均分配的份数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件首添加字符</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件尾添加字符</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>源文件编码</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>输出编码</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>分割进度</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>１,２，３...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>一,二,三...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>自动检测</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>同源文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>UTF-16？</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>（%1）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请输入标题的正则表达式。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>还未选择待分割的文件！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>按编辑后的目录（%1 章） &lt;a href=&quot;rule&quot;&gt;改回按规则&lt;/a&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>源文件“%1”是空的，分割只会建立一个空目录。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>仍然分割</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>取消</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>……</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>目录“%1”中已有 %n 个以前分割留下的文件。这次分割不一定会覆盖它们，新旧文件会混在一起：
%2</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>清空旧文件后继续</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>换一个文件夹</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法删除旧文件：%1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>sekato::ui::CSplitRunControl</name>
    <message>
        <source>无法启动分割线程，文件没有分割！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法启动预览线程！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打开文件夹</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>预览章节</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
